// MAIN MENU, the root of the menu tree, and the two read-only pages ADC VALUES
// and INFO.
#include <cstdio>

#include "core/state.h"
#include "gfx/icons.h"
#include "gfx/rle.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

constexpr uint8_t MENU_ENTRIES = 6;
constexpr uint8_t ENTRY_ADC_VALUES = 5;

struct menu_entry {
    const char* caption_1;
    const char* caption_2;
    const uint8_t* const* icon;  // address of the icon pointer, defined with the image store
    screen_handler opens;
};

const menu_entry menu_entries[MENU_ENTRIES] = {
    {"ALT", "SETUP", &icon_alt_setup, screen_alt_setup},
    {"VSI", "SETUP", &icon_vsi_setup, screen_vsi_setup},
    {"ASI", "SETUP", &icon_asi_setup, screen_asi_setup},
    {"TIMERS", "SETUP", &icon_timers_setup, screen_timers_setup},
    {"MISC", "SETUP", &icon_misc_setup, screen_misc_setup},
    {"ADC", "VALUES", &icon_adc_values, screen_adc_values},
};

// The entry on show: a cursor beyond the last entry shows the first one.
uint8_t shown_entry()
{
    return st.menu_cursor < MENU_ENTRIES ? st.menu_cursor : 0;
}

}  // namespace

void screen_main_menu()
{
    const uint8_t shown = shown_entry();
    const menu_entry& entry = menu_entries[shown];

    draw_title_bar("MAIN MENU", "");
    draw_scroll_bar(shown, MENU_ENTRIES);
    draw_text(108, 50, entry.caption_1, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(108, 68, entry.caption_2, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_rle_image(10, 45, *entry.icon);
    draw_footer(1);

    if (st.pending_key == KEY_NONE)
        return;
    switch (st.pending_key) {
    case KEY_LEFT:
        return_to_main_display();
        break;
    case KEY_PUSH:
        if (st.menu_cursor < MENU_ENTRIES) {
            st.current_screen = menu_entries[st.menu_cursor].opens;
            st.edit_step = 1;
            st.menu_cursor = 0;
            st.menu_scroll = 0;
            st.edit_mode = 0;
        }
        break;
    case KEY_CW:
        st.menu_cursor = st.menu_cursor >= MENU_ENTRIES - 1 ? 0 : st.menu_cursor + 1;
        break;
    case KEY_CCW:
        st.menu_cursor = shown == 0 ? MENU_ENTRIES - 1 : shown - 1;
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_adc_values()
{
    char text[32];
    draw_title_bar("ADC", "VALUES");
    snprintf(text, sizeof text, "AIRSPEED: %d ", int(st.asi_adc_sample));
    draw_menu_row(0, text, COLOUR_WHITE);
    draw_footer(2);

    if (st.pending_key == KEY_NONE)
        return;
    if (st.pending_key == KEY_LEFT) {
        st.current_screen = screen_main_menu;
        reset_menu_cursor(ENTRY_ADC_VALUES);
    }
    st.pending_key = KEY_NONE;
}

void screen_info()
{
    char text[32];
    draw_title_bar("INFO", "");
    draw_menu_row(0, "MODEL: KTR-7", COLOUR_WHITE);
    snprintf(text, sizeof text, "FIRMWARE: V%.2f", double(FIRMWARE_VERSION) * 0.01);
    draw_menu_row(1, text, COLOUR_WHITE);
    if (st.alt_sensor_present == 1) {
        draw_menu_row(2, "ALT SENSOR: 1", COLOUR_WHITE);
        // 0xB0 is the degree sign of the fonts' upper code page.
        snprintf(text, sizeof text, "TEMP: %.1f\xB0" "C", double(st.sensor_temperature));
        draw_menu_row(3, text, COLOUR_WHITE);
        snprintf(text, sizeof text, "PRESS: %.2fmB", double(st.sensor_pressure));
        draw_menu_row(4, text, COLOUR_WHITE);
    }
    draw_footer(2);

    if (st.pending_key == KEY_NONE)
        return;
    if (st.pending_key == KEY_LEFT) {
        st.current_screen = screen_misc_setup;
        reset_menu_cursor(2);
    }
    st.pending_key = KEY_NONE;
}
