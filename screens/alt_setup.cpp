// ALTITUDE SETUP: units, encoder resolution, field position, calibration and
// the serial altitude-encoder output; the WARNING page and the encoder test.
#include "screens/alt_setup.h"

#include <cstdio>

#include "core/state.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/screens.h"

const int32_t TEST_ALTITUDES[TEST_ALTITUDE_COUNT] = {-1000, -900, -700, -400, -200,
                                                     800,   2800, 6800, 14800, 30800};

namespace {

// The rows in page order; the last two exist only while serial output is on.
enum : uint8_t {
    ROW_ALTITUDE_UNIT, ROW_PRESSURE_UNIT, ROW_RESOLUTION, ROW_POSITION, ROW_CAL, ROW_SERIAL_OUT,
    ROWS_SERIAL_OFF,
    ROW_PROTOCOL = ROWS_SERIAL_OFF, ROW_TEST_ENCODER,
    ROWS_SERIAL_ON,
};

uint8_t row_count()
{
    return st.serial_out ? ROWS_SERIAL_ON : ROWS_SERIAL_OFF;
}

constexpr uint8_t RESOLUTION_LAST = 4;
constexpr uint8_t PROTOCOL_LAST = 5;

void draw_rows()
{
    char value[32];
    const int8_t scroll = int8_t(st.menu_scroll);
    const uint8_t unit = st.altitude_unit ? 1 : 0;
    const uint8_t resolution = st.altitude_resolution <= RESOLUTION_LAST ? st.altitude_resolution : 0;

    draw_setting_row(int8_t(ROW_ALTITUDE_UNIT - scroll), "ALTITUDE UNIT: ", altitude_unit_names[unit]);
    draw_setting_row(int8_t(ROW_PRESSURE_UNIT - scroll), "PRESSURE UNIT:",
                     pressure_unit_names[st.pressure_unit ? 1 : 0]);
    draw_setting_row(int8_t(ROW_RESOLUTION - scroll), "RESOLUTION: ",
                     unit ? resolution_names_m[resolution] : resolution_names_ft[resolution]);
    draw_setting_row(int8_t(ROW_POSITION - scroll), "POSITION: ", st.alt_on_top ? "TOP" : "BOTTOM");
    snprintf(value, sizeof value, "%+d %dft", int(st.altitude_cal_offset), int(st.encoder_altitude));
    draw_setting_row(int8_t(ROW_CAL - scroll), "CAL: ", value);
    draw_step_label(ROW_CAL);
    draw_setting_row(int8_t(ROW_SERIAL_OUT - scroll), "SERIAL OUT: ", off_on_names[st.serial_out ? 1 : 0]);
    if (st.serial_out) {
        const uint8_t protocol = st.serial_protocol <= PROTOCOL_LAST ? st.serial_protocol : 0;
        draw_setting_row(int8_t(ROW_PROTOCOL - scroll), "PROT: ", protocol_names[protocol]);
        draw_menu_row(int8_t(ROW_TEST_ENCODER - scroll), "TEST ALT ENCODER",
                      selection_colour(st.menu_cursor == ROW_TEST_ENCODER));
    }
}

// The CAL offset in feet, X1 or X10: a step that would leave -125..125 is
// refused, not clamped.
constexpr int32_t CAL_OFFSET_MIN = -125;
constexpr int32_t CAL_OFFSET_MAX = 125;

void step_cal_offset(bool up)
{
    const int32_t step = st.edit_step;
    const int32_t next = up ? int32_t(st.altitude_cal_offset) + step : int32_t(st.altitude_cal_offset) - step;
    if (next >= CAL_OFFSET_MIN && next <= CAL_OFFSET_MAX)
        st.altitude_cal_offset = int16_t(next);
}

void step_value(bool up)
{
    switch (st.menu_cursor) {
    case ROW_ALTITUDE_UNIT: st.altitude_unit = toggled(st.altitude_unit); break;
    case ROW_PRESSURE_UNIT: st.pressure_unit = toggled(st.pressure_unit); break;
    case ROW_RESOLUTION: st.altitude_resolution = cycled(st.altitude_resolution, RESOLUTION_LAST, up); break;
    case ROW_POSITION: st.alt_on_top = toggled(st.alt_on_top); break;
    case ROW_CAL: step_cal_offset(up); break;
    case ROW_SERIAL_OUT: st.serial_out = toggled(st.serial_out); break;
    case ROW_PROTOCOL: st.serial_protocol = cycled(st.serial_protocol, PROTOCOL_LAST, up); break;
    default: break;
    }
}

// Only a value of the list moves, to its neighbour with the list closed into
// a ring; anything else stays where it is.
void step_test_altitude(bool up)
{
    for (uint8_t i = 0; i < TEST_ALTITUDE_COUNT; i++) {
        if (TEST_ALTITUDES[i] == st.test_altitude) {
            st.test_altitude = TEST_ALTITUDES[cycled(i, TEST_ALTITUDE_COUNT - 1, up)];
            return;
        }
    }
}

}  // namespace

void screen_alt_setup()
{
    scroll_to_cursor();
    draw_title_bar("ALTITUDE", "SETUP");
    draw_scroll_bar(st.menu_cursor, row_count());
    draw_rows();
    draw_footer(FOOTER_BACK);

    switch (const uint8_t key = take_key()) {
    case KEY_LEFT: leave_setup_page(MAIN_MENU_ALT_SETUP); break;
    case KEY_RIGHT: cycle_edit_step(STEP_UP_TO_10); break;
    case KEY_PUSH:
        // TEST ALT ENCODER is an action, the other rows are settings.
        if (!st.edit_mode && st.serial_out && st.menu_cursor == ROW_TEST_ENCODER)
            st.current_screen = screen_test_warning;
        else
            st.edit_mode = toggled(st.edit_mode);
        break;
    case KEY_CW:
    case KEY_CCW: turn_setting_list(key == KEY_CW, row_count(), step_value); break;
    default: break;
    }
}

void screen_test_warning()
{
    draw_text(80, 0, "WARNING", 0, 10, ALIGN_CENTRE, COLOUR_HIGHLIGHT);
    draw_text(80, 30, "THE ALTITUDE TEST", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 50, "FUNCTION IS ONLY ", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 70, "TO BE USED WHEN", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 90, "NOT IN FLIGHT", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_footer(FOOTER_BACK);

    // Back leaves the cursor on TEST ALT ENCODER; the test starts from the
    // first altitude of the list.
    const uint8_t key = take_key();
    if (key == KEY_LEFT) {
        st.current_screen = screen_alt_setup;
    } else if (key == KEY_PUSH) {
        st.test_altitude = TEST_ALTITUDES[0];
        st.current_screen = screen_test_altitude;
    }
}

void screen_test_altitude()
{
    char value[32];
    draw_text(80, 0, "USE THE ROTARY", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 20, "CONTROL TO ADJUST", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 40, "THE TEST ALTITUDE", 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
    snprintf(value, sizeof value, "%ld", long(st.test_altitude));
    draw_text(80, 60, value, 0, 20, ALIGN_CENTRE, COLOUR_HIGHLIGHT);
    draw_text(140, 66, "ft", 0, 16, ALIGN_CENTRE, COLOUR_HIGHLIGHT);
    draw_footer(FOOTER_BACK);

    const uint8_t key = take_key();
    if (key == KEY_LEFT)
        st.current_screen = screen_alt_setup;
    else if (key == KEY_CW || key == KEY_CCW)
        step_test_altitude(key == KEY_CW);
}
