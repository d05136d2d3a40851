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

constexpr uint8_t ROW_SECURITY = 0;
constexpr uint8_t ROW_CHANGE_CODE = 1;
constexpr uint8_t MISC_ROW_SECURITY_SETUP = 1;

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
    draw_text(80, 30, prompt, 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 45, "CODE", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    for (uint8_t i = 0; i < CODE_DIGITS; i++) {
        snprintf(text, sizeof text, "%d", int(st.code_digits[i]));
        draw_text(DIGIT_X[i], DIGIT_Y, text, 0, 20, ALIGN_CENTRE, i == st.menu_cursor ? COLOUR_RED : COLOUR_WHITE);
    }
    draw_footer(footer_kind);
}

// The digit keys of the entry screens. Returns the key the screen itself has
// to act on (KEY_LEFT, or KEY_PUSH on the last digit), else KEY_NONE; the
// caller clears pending_key.
uint8_t code_entry_key()
{
    const uint8_t cursor = st.menu_cursor < CODE_DIGITS ? st.menu_cursor : LAST_DIGIT;
    uint8_t& digit = st.code_digits[cursor];
    switch (st.pending_key) {
    case KEY_CW:
        digit = digit >= 9 ? 0 : digit + 1;
        return KEY_NONE;
    case KEY_CCW:
        digit = digit == 0 || digit > 9 ? 9 : digit - 1;
        return KEY_NONE;
    case KEY_PUSH:
        if (cursor < LAST_DIGIT) {
            st.menu_cursor = cursor + 1;
            return KEY_NONE;
        }
        return KEY_PUSH;
    case KEY_LEFT:
        return KEY_LEFT;
    default:
        return KEY_NONE;
    }
}

void open_code_result(uint16_t result, screen_handler back_to)
{
    st.pending_code = result;
    st.return_screen = back_to;
    st.current_screen = screen_code_result;
}

void back_to_security_setup()
{
    st.current_screen = screen_security_setup;
    reset_menu_cursor(ROW_CHANGE_CODE);
}

}  // namespace

void screen_unlock()
{
    draw_code_entry("ENTER SECURITY", 1);
    if (st.pending_key == KEY_NONE)
        return;
    switch (code_entry_key()) {
    case KEY_PUSH:
        if (entered_code_accepted()) {
            clear_code_digits();
            st.menu_cursor = 0;
            st.current_screen = screen_main_menu;
        } else {
            open_code_result(RESULT_ERROR, screen_main);
        }
        break;
    case KEY_LEFT:
        st.current_screen = screen_main;
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_code_check()
{
    draw_code_entry("ENTER SECURITY", 2);
    if (st.pending_key == KEY_NONE)
        return;
    switch (code_entry_key()) {
    case KEY_PUSH:
        if (entered_code_accepted()) {
            clear_code_digits();
            st.menu_cursor = 0;
            st.current_screen = screen_code_new;
        } else {
            st.menu_cursor = ROW_CHANGE_CODE;
            open_code_result(RESULT_ERROR, screen_security_setup);
        }
        break;
    case KEY_LEFT:
        back_to_security_setup();
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_code_new()
{
    draw_code_entry("ENTER NEW", 2);
    if (st.pending_key == KEY_NONE)
        return;
    switch (code_entry_key()) {
    case KEY_PUSH:
        st.pending_code = entered_code();
        clear_code_digits();
        st.menu_cursor = 0;
        st.current_screen = screen_code_confirm;
        break;
    case KEY_LEFT:
        back_to_security_setup();
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_code_confirm()
{
    draw_code_entry("CONFIRM NEW", 2);
    if (st.pending_key == KEY_NONE)
        return;
    switch (code_entry_key()) {
    case KEY_PUSH:
        if (entered_code() == st.pending_code) {
            st.security_code = st.pending_code;
            st.menu_cursor = ROW_CHANGE_CODE;
            open_code_result(RESULT_CHANGED, screen_security_setup);
        } else {
            st.menu_cursor = ROW_CHANGE_CODE;
            open_code_result(RESULT_ERROR, screen_security_setup);
        }
        break;
    case KEY_LEFT:
        back_to_security_setup();
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_code_result()
{
    draw_title_bar("MESSAGE", "");
    draw_rle_image(5, 42, icon_exclamation);
    draw_text(110, 45, "CODE", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 65, st.pending_code == RESULT_CHANGED ? "CHANGED" : "ERROR", 0, 10, ALIGN_CENTRE,
              COLOUR_WHITE);
    draw_footer(2);

    if (st.pending_key == KEY_NONE)
        return;
    st.current_screen = st.return_screen;
    st.pending_key = KEY_NONE;
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
        draw_menu_row(ROW_CHANGE_CODE, "CHANGE CODE",
                      st.menu_cursor == ROW_CHANGE_CODE ? COLOUR_RED : COLOUR_WHITE);
    draw_footer(2);

    if (st.pending_key == KEY_NONE)
        return;
    switch (st.pending_key) {
    case KEY_LEFT:
        st.current_screen = screen_misc_setup;
        reset_menu_cursor(MISC_ROW_SECURITY_SETUP);
        break;
    case KEY_PUSH:
        if (st.menu_cursor == ROW_SECURITY) {
            st.edit_mode = st.edit_mode ? 0 : 1;
        } else if (st.menu_cursor == ROW_CHANGE_CODE) {
            clear_code_digits();
            st.menu_cursor = 0;
            st.return_screen = screen_security_setup;
            st.current_screen = screen_code_check;
        }
        break;
    case KEY_CW:
    case KEY_CCW:
        if (st.edit_mode == 1 && st.menu_cursor == ROW_SECURITY)
            st.security_enabled = st.security_enabled == 1 ? 0 : 1;
        else if (st.edit_mode == 0 && change_code_shown)
            st.menu_cursor = st.menu_cursor == ROW_SECURITY ? ROW_CHANGE_CODE : ROW_SECURITY;
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}
