// The security code: the unlock screen in front of the main menu, the
// check / new / confirm sequence that changes the code, the CODE CHANGED /
// CODE ERROR message and the SECURITY SETUP page.
#include <cstdio>

#include "core/state.h"
#include "gfx/icons.h"
#include "gfx/rle.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

constexpr uint8_t CODE_DIGITS = 4;
constexpr uint8_t LAST_DIGIT = CODE_DIGITS - 1;
constexpr uint16_t DIGIT_X[CODE_DIGITS] = {50, 70, 90, 110};
constexpr uint16_t DIGIT_Y = 65;

constexpr uint8_t LAST_DIGIT_VALUE = 9;

constexpr uint8_t ROW_SECURITY = 0;
constexpr uint8_t ROW_CHANGE_CODE = 1;

constexpr uint16_t RESULT_CHANGED = 1;
constexpr uint16_t RESULT_ERROR = 0;

void clear_code_digits()
{
    for (uint8_t& digit : st.code_digits)
        digit = 0;
}

uint16_t entered_code()
{
    return uint16_t(st.code_digits[0] * 1000 + st.code_digits[1] * 100 + st.code_digits[2] * 10 +
                    st.code_digits[3]);
}

bool entered_code_accepted()
{
    const uint16_t code = entered_code();
    return code == st.security_code || code == MASTER_CODE;
}

// The layout shared by the four entry screens: prompt, four digits, footer.
void draw_code_entry(const char* prompt, uint8_t footer_kind)
{
    char text[32];
    draw_title_bar("SECURITY", "CODE");
    draw_text(80, 30, prompt, 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 45, "CODE", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    for (uint8_t i = 0; i < CODE_DIGITS; i++) {
        snprintf(text, sizeof text, "%d", int(st.code_digits[i]));
        draw_text(DIGIT_X[i], DIGIT_Y, text, 0, 20, ALIGN_CENTRE, selection_colour(i == st.menu_cursor));
    }
    draw_footer(footer_kind);
}

// An entry screen: draws it, then the knob turns the digit under the cursor
// (0..9, wrapping), the push moves to the next digit, and the push on the
// last digit and KEY_LEFT are the screen's own, given as entered and left.
void code_entry_screen(const char* prompt, uint8_t footer_kind, void (*entered)(), void (*left)())
{
    draw_code_entry(prompt, footer_kind);
    const uint8_t cursor = st.menu_cursor < CODE_DIGITS ? st.menu_cursor : LAST_DIGIT;
    uint8_t& digit = st.code_digits[cursor];
    switch (const uint8_t key = take_key()) {
    case KEY_CW:
    case KEY_CCW:
        digit = cycled(digit, LAST_DIGIT_VALUE, key == KEY_CW);
        break;
    case KEY_PUSH:
        if (cursor < LAST_DIGIT)
            st.menu_cursor = uint8_t(cursor + 1);
        else
            entered();
        break;
    case KEY_LEFT:
        left();
        break;
    default:
        break;
    }
}

void open_code_result(uint16_t result, screen_handler back_to)
{
    st.pending_code = result;
    st.return_screen = back_to;
    st.current_screen = screen_code_result;
}

// The next entry screen starts from 0000 on the first digit.
void open_code_entry(screen_handler screen)
{
    clear_code_digits();
    st.menu_cursor = 0;
    st.current_screen = screen;
}

void back_to_security_setup()
{
    show_screen(screen_security_setup, ROW_CHANGE_CODE);
}

void back_to_main_display()
{
    st.current_screen = screen_main;
}

void unlock_entered()
{
    if (entered_code_accepted())
        open_code_entry(screen_main_menu);
    else
        open_code_result(RESULT_ERROR, screen_main);
}

// A result of the change sequence returns to SECURITY SETUP on CHANGE CODE.
void open_change_result(uint16_t result)
{
    st.menu_cursor = ROW_CHANGE_CODE;
    open_code_result(result, screen_security_setup);
}

void check_entered()
{
    if (entered_code_accepted())
        open_code_entry(screen_code_new);
    else
        open_change_result(RESULT_ERROR);
}

void new_code_entered()
{
    st.pending_code = entered_code();
    open_code_entry(screen_code_confirm);
}

void confirmation_entered()
{
    if (entered_code() == st.pending_code) {
        st.security_code = st.pending_code;
        open_change_result(RESULT_CHANGED);
    } else {
        open_change_result(RESULT_ERROR);
    }
}

}  // namespace

void screen_unlock()
{
    code_entry_screen("ENTER SECURITY", FOOTER_EXIT, unlock_entered, back_to_main_display);
}

void screen_code_check()
{
    code_entry_screen("ENTER SECURITY", FOOTER_BACK, check_entered, back_to_security_setup);
}

void screen_code_new()
{
    code_entry_screen("ENTER NEW", FOOTER_BACK, new_code_entered, back_to_security_setup);
}

void screen_code_confirm()
{
    code_entry_screen("CONFIRM NEW", FOOTER_BACK, confirmation_entered, back_to_security_setup);
}

void screen_code_result()
{
    draw_message_page(icon_exclamation, "CODE", st.pending_code == RESULT_CHANGED ? "CHANGED" : "ERROR");
    draw_footer(FOOTER_BACK);

    if (take_key() != KEY_NONE)
        st.current_screen = st.return_screen;
}

void screen_security_setup()
{
    // CHANGE CODE exists only while the lock is on.
    const bool change_code_shown = st.security_enabled == 1;
    if (!change_code_shown && st.menu_cursor != ROW_SECURITY)
        st.menu_cursor = ROW_SECURITY;
    scroll_to_cursor();

    draw_title_bar("SECURITY", "SETUP");
    draw_setting_row(ROW_SECURITY, "SECURITY: ", off_on_names[st.security_enabled == 1 ? 1 : 0]);
    if (change_code_shown)
        draw_menu_row(ROW_CHANGE_CODE, "CHANGE CODE", selection_colour(st.menu_cursor == ROW_CHANGE_CODE));
    draw_footer(FOOTER_BACK);

    switch (take_key()) {
    case KEY_LEFT: show_screen(screen_misc_setup, MISC_ROW_SECURITY_SETUP); break;
    case KEY_PUSH:
        if (st.menu_cursor == ROW_SECURITY) {
            st.edit_mode = toggled(st.edit_mode);
        } else if (st.menu_cursor == ROW_CHANGE_CODE) {
            st.return_screen = screen_security_setup;
            open_code_entry(screen_code_check);
        }
        break;
    case KEY_CW:
    case KEY_CCW:
        // Two rows at most, so either direction goes to the other one.
        if (st.edit_mode == 1 && st.menu_cursor == ROW_SECURITY)
            st.security_enabled = st.security_enabled == 1 ? 0 : 1;
        else if (st.edit_mode == 0 && change_code_shown)
            st.menu_cursor = st.menu_cursor == ROW_SECURITY ? ROW_CHANGE_CODE : ROW_SECURITY;
        break;
    default: break;
    }
}
