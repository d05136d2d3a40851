// MISC SETUP, a four-entry sub-menu, with the BACKLIGHT adjustment and the
// LOAD DEFAULT SETTINGS? confirmation.
#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

const char* const misc_entries[MISC_ROWS] = {"BACKLIGHT", "SECURITY SETUP", "INFORMATION", "DEFAULT SETTINGS"};

constexpr uint8_t BACKLIGHT_MIN = 10;
constexpr uint8_t BACKLIGHT_MAX = 100;
constexpr uint8_t BACKLIGHT_STEP = 10;

// The backlight level in tens, stopping at 10 and 100.
void step_backlight(bool up)
{
    if (up)
        st.backlight_level = st.backlight_level >= BACKLIGHT_MAX - BACKLIGHT_STEP ? BACKLIGHT_MAX
                                                                                  : st.backlight_level + BACKLIGHT_STEP;
    else
        st.backlight_level = st.backlight_level <= BACKLIGHT_MIN + BACKLIGHT_STEP ? BACKLIGHT_MIN
                                                                                  : st.backlight_level - BACKLIGHT_STEP;
}

// The level bar: a frame from (10, 83) to (150, 95), filled up to the level.
constexpr uint16_t BAR_LEFT = 10;
constexpr uint16_t BAR_TOP = 83;
constexpr uint16_t BAR_RIGHT = 150;
constexpr uint16_t BAR_BOTTOM = 95;

// BACKLIGHT keeps the cursor, which it comes back to; the other pages open on
// their first row.
void open_entry()
{
    switch (st.menu_cursor) {
    case MISC_ROW_BACKLIGHT: st.current_screen = screen_backlight; break;
    case MISC_ROW_SECURITY_SETUP: show_screen(screen_security_setup, FIRST_ROW); break;
    case MISC_ROW_INFORMATION: show_screen(screen_info, FIRST_ROW); break;
    case MISC_ROW_DEFAULT_SETTINGS: show_screen(screen_defaults_confirm, FIRST_ROW); break;
    default: break;
    }
}

}  // namespace

void screen_misc_setup()
{
    scroll_to_cursor();

    draw_title_bar("MISC", "SETUP");
    draw_scroll_bar(st.menu_cursor, MISC_ROWS);
    for (uint8_t i = 0; i < MISC_ROWS; i++)
        draw_menu_row(int8_t(i), misc_entries[i], selection_colour(i == st.menu_cursor));
    draw_footer(FOOTER_BACK);

    switch (const uint8_t key = take_key()) {
    case KEY_LEFT: show_screen(screen_main_menu, MAIN_MENU_MISC_SETUP); break;
    case KEY_PUSH: open_entry(); break;
    case KEY_CW:
    case KEY_CCW: move_cursor(MISC_ROWS, key == KEY_CW); break;
    default: break;  // KEY_RIGHT: nothing here
    }
}

void screen_backlight()
{
    draw_title_bar("BACKLIGHT", "");
    draw_text(80, 30, "USE THE ROTARY", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 45, "CONTROL TO ADJUST", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 60, "THE BACKLIGHT", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);

    const uint16_t bar_end = uint16_t(BAR_LEFT - 1 + 14 * st.backlight_level / 10);
    lcd_fill(BAR_LEFT, BAR_TOP, bar_end, BAR_BOTTOM, COLOUR_HIGHLIGHT);
    lcd_frame(BAR_LEFT, BAR_TOP, BAR_RIGHT, BAR_BOTTOM, COLOUR_TEXT);
    draw_footer(FOOTER_BACK);

    switch (take_key()) {
    case KEY_CW: step_backlight(true); break;
    case KEY_CCW: step_backlight(false); break;
    case KEY_LEFT:
    case KEY_PUSH: show_screen(screen_misc_setup, MISC_ROW_BACKLIGHT); break;
    default: break;
    }
}

void screen_defaults_confirm()
{
    static const question load_defaults = {
        {"LOAD", "DEFAULT", "SETTINGS?"}, screen_misc_setup, MISC_ROW_DEFAULT_SETTINGS, load_default_settings};
    question_page(load_defaults);
}
