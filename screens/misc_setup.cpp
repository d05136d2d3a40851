// MISC SETUP, a four-entry sub-menu, with the BACKLIGHT adjustment and the
// LOAD DEFAULT SETTINGS? confirmation.
#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

constexpr uint8_t MISC_ENTRIES = 4;
constexpr uint8_t ROW_BACKLIGHT = 0;
constexpr uint8_t ROW_SECURITY_SETUP = 1;
constexpr uint8_t ROW_INFORMATION = 2;
constexpr uint8_t ROW_DEFAULT_SETTINGS = 3;
constexpr uint8_t MAIN_MENU_ENTRY_MISC = 4;

const char* const misc_entries[MISC_ENTRIES] = {"BACKLIGHT", "SECURITY SETUP", "INFORMATION", "DEFAULT SETTINGS"};

constexpr uint8_t BACKLIGHT_MIN = 10;
constexpr uint8_t BACKLIGHT_MAX = 100;
constexpr uint8_t BACKLIGHT_STEP = 10;

// The level bar: a frame from (10, 83) to (150, 95), filled up to the level.
constexpr uint16_t BAR_LEFT = 10;
constexpr uint16_t BAR_TOP = 83;
constexpr uint16_t BAR_RIGHT = 150;
constexpr uint16_t BAR_BOTTOM = 95;

}  // namespace

void screen_misc_setup()
{
    scroll_to_cursor();

    draw_title_bar("MISC", "SETUP");
    draw_scroll_bar(st.menu_cursor, MISC_ENTRIES);
    for (uint8_t i = 0; i < MISC_ENTRIES; i++)
        draw_menu_row(int8_t(i), misc_entries[i], i == st.menu_cursor ? COLOUR_RED : COLOUR_WHITE);
    draw_footer(2);

    if (st.pending_key == KEY_NONE)
        return;
    switch (st.pending_key) {
    case KEY_LEFT:
        st.current_screen = screen_main_menu;
        reset_menu_cursor(MAIN_MENU_ENTRY_MISC);
        break;
    case KEY_PUSH:
        switch (st.menu_cursor) {
        case ROW_BACKLIGHT:
            st.current_screen = screen_backlight;
            break;
        case ROW_SECURITY_SETUP:
            st.current_screen = screen_security_setup;
            reset_menu_cursor(0);
            break;
        case ROW_INFORMATION:
            st.current_screen = screen_info;
            reset_menu_cursor(0);
            break;
        case ROW_DEFAULT_SETTINGS:
            st.current_screen = screen_defaults_confirm;
            reset_menu_cursor(0);
            break;
        default:
            break;
        }
        break;
    case KEY_CW:
        st.menu_cursor = st.menu_cursor >= MISC_ENTRIES - 1 ? 0 : st.menu_cursor + 1;
        break;
    case KEY_CCW:
        st.menu_cursor = st.menu_cursor == 0 || st.menu_cursor >= MISC_ENTRIES ? MISC_ENTRIES - 1
                                                                                : st.menu_cursor - 1;
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_backlight()
{
    draw_title_bar("BACKLIGHT", "");
    draw_text(80, 30, "USE THE ROTARY", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 45, "CONTROL TO ADJUST", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 60, "THE BACKLIGHT", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);

    const uint16_t bar_end = uint16_t(BAR_LEFT - 1 + 14 * st.backlight_level / 10);
    lcd_fill(BAR_LEFT, BAR_TOP, bar_end, BAR_BOTTOM, COLOUR_RED);
    lcd_frame(BAR_LEFT, BAR_TOP, BAR_RIGHT, BAR_BOTTOM, COLOUR_WHITE);
    draw_footer(2);

    if (st.pending_key == KEY_NONE)
        return;
    switch (st.pending_key) {
    case KEY_CW:
        st.backlight_level = st.backlight_level >= BACKLIGHT_MAX - BACKLIGHT_STEP ? BACKLIGHT_MAX
                                                                                  : st.backlight_level + BACKLIGHT_STEP;
        break;
    case KEY_CCW:
        st.backlight_level = st.backlight_level <= BACKLIGHT_MIN + BACKLIGHT_STEP ? BACKLIGHT_MIN
                                                                                  : st.backlight_level - BACKLIGHT_STEP;
        break;
    case KEY_LEFT:
    case KEY_PUSH:
        st.current_screen = screen_misc_setup;
        reset_menu_cursor(ROW_BACKLIGHT);
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_defaults_confirm()
{
    draw_question_page("LOAD", "DEFAULT", "SETTINGS?");

    if (st.pending_key == KEY_NONE)
        return;
    switch (st.pending_key) {
    case KEY_LEFT:
        st.current_screen = screen_misc_setup;
        reset_menu_cursor(ROW_DEFAULT_SETTINGS);
        break;
    case KEY_RIGHT:
        st.current_screen = screen_message_done;
        st.return_screen = screen_misc_setup;
        reset_menu_cursor(ROW_DEFAULT_SETTINGS);
        load_default_settings();
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}
