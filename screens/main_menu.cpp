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

struct menu_entry {
    const char* caption_1;
    const char* caption_2;
    const uint8_t* const* icon;  // address of the icon pointer, defined with the image store
    screen_handler opens;
};

const menu_entry menu_entries[MAIN_MENU_ENTRIES] = {
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
    return st.menu_cursor < MAIN_MENU_ENTRIES ? st.menu_cursor : uint8_t(MAIN_MENU_ALT_SETUP);
}

// Each entry opens on its first row; unlike reset_menu_cursor this leaves the
// code screens' working value alone. A cursor beyond the list opens nothing.
void open_entry()
{
    if (st.menu_cursor >= MAIN_MENU_ENTRIES)
        return;
    st.current_screen = menu_entries[st.menu_cursor].opens;
    st.edit_step = 1;
    st.menu_cursor = FIRST_ROW;
    st.menu_scroll = 0;
    st.edit_mode = 0;
}

}  // namespace

void screen_main_menu()
{
    const uint8_t shown = shown_entry();
    const menu_entry& entry = menu_entries[shown];

    draw_title_bar("MAIN MENU", "");
    draw_scroll_bar(shown, MAIN_MENU_ENTRIES);
    draw_text(108, 50, entry.caption_1, 0, 10, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(108, 68, entry.caption_2, 0, 10, ALIGN_CENTRE, COLOUR_TEXT);
    draw_rle_image(10, 45, *entry.icon);
    draw_footer(FOOTER_EXIT);

    switch (const uint8_t key = take_key()) {
    case KEY_LEFT: return_to_main_display(); break;
    case KEY_PUSH: open_entry(); break;
    case KEY_CW:
    case KEY_CCW: move_cursor(MAIN_MENU_ENTRIES, key == KEY_CW); break;
    default: break;  // KEY_RIGHT: nothing here
    }
}

void screen_adc_values()
{
    char text[32];
    draw_title_bar("ADC", "VALUES");
    snprintf(text, sizeof text, "AIRSPEED: %d ", int(st.asi_adc_sample));
    draw_menu_row(0, text, COLOUR_TEXT);
    draw_footer(FOOTER_BACK);

    back_on_left(screen_main_menu, MAIN_MENU_ADC_VALUES);
}

void screen_info()
{
    char text[32];
    draw_title_bar("INFO", "");
    draw_menu_row(0, "MODEL: KTR-7", COLOUR_TEXT);
    snprintf(text, sizeof text, "FIRMWARE: V%.2f", double(FIRMWARE_VERSION) * 0.01);
    draw_menu_row(1, text, COLOUR_TEXT);
    if (st.alt_sensor_present == 1) {
        draw_menu_row(2, "ALT SENSOR: 1", COLOUR_TEXT);
        // 0xB0 is the degree sign of the fonts' upper code page.
        snprintf(text, sizeof text, "TEMP: %.1f\xB0" "C", double(st.sensor_temperature));
        draw_menu_row(3, text, COLOUR_TEXT);
        snprintf(text, sizeof text, "PRESS: %.2fmB", double(st.sensor_pressure));
        draw_menu_row(4, text, COLOUR_TEXT);
    }
    draw_footer(FOOTER_BACK);

    back_on_left(screen_misc_setup, MISC_ROW_INFORMATION);
}
