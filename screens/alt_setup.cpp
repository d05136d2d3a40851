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

enum : uint8_t {
    ROW_ALTITUDE_UNIT = 0,
    ROW_PRESSURE_UNIT = 1,
    ROW_RESOLUTION = 2,
    ROW_POSITION = 3,
    ROW_CAL = 4,
    ROW_SERIAL_OUT = 5,
    ROW_PROTOCOL = 6,
    ROW_TEST_ENCODER = 7,
};

constexpr int CAL_MIN = -125;
constexpr int CAL_MAX = 125;
constexpr uint8_t RESOLUTION_LAST = 4;
constexpr uint8_t PROTOCOL_LAST = 5;

// PROT and TEST ALT ENCODER exist only while serial output is on.
uint8_t row_count()
{
    return st.serial_out ? 8 : 6;
}

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
                      st.menu_cursor == ROW_TEST_ENCODER ? COLOUR_RED : COLOUR_WHITE);
    }
}

void step_value(bool up)
{
    switch (st.menu_cursor) {
    case ROW_ALTITUDE_UNIT:
        st.altitude_unit = toggled(st.altitude_unit);
        break;
    case ROW_PRESSURE_UNIT:
        st.pressure_unit = toggled(st.pressure_unit);
        break;
    case ROW_RESOLUTION:
        st.altitude_resolution = cycled(st.altitude_resolution, RESOLUTION_LAST, up);
        break;
    case ROW_POSITION:
        st.alt_on_top = toggled(st.alt_on_top);
        break;
    case ROW_CAL: {
        // A step that would leave the range is refused, not clamped.
        const int32_t step = st.edit_step;
        const int32_t next = up ? int32_t(st.altitude_cal_offset) + step : int32_t(st.altitude_cal_offset) - step;
        if (next >= CAL_MIN && next <= CAL_MAX)
            st.altitude_cal_offset = int16_t(next);
        break;
    }
    case ROW_SERIAL_OUT:
        st.serial_out = toggled(st.serial_out);
        break;
    case ROW_PROTOCOL:
        st.serial_protocol = cycled(st.serial_protocol, PROTOCOL_LAST, up);
        break;
    default:
        break;
    }
}

void move_cursor(bool down)
{
    const uint8_t last = uint8_t(row_count() - 1);
    if (down)
        st.menu_cursor = st.menu_cursor >= last ? 0 : uint8_t(st.menu_cursor + 1);
    else
        st.menu_cursor = (st.menu_cursor == 0 || st.menu_cursor > last) ? last : uint8_t(st.menu_cursor - 1);
    st.edit_step = 1;
}

}  // namespace

void screen_alt_setup()
{
    scroll_to_cursor();
    draw_title_bar("ALTITUDE", "SETUP");
    draw_scroll_bar(st.menu_cursor, row_count());
    draw_rows();
    draw_footer(2);

    switch (st.pending_key) {
    case KEY_LEFT:
        settings_changed_hook();
        st.current_screen = screen_main_menu;
        reset_menu_cursor(0);
        break;
    case KEY_RIGHT:
        st.edit_step = st.edit_step < 10 ? uint16_t(st.edit_step * 10) : uint16_t(1);
        break;
    case KEY_PUSH:
        if (!st.edit_mode && st.serial_out && st.menu_cursor == ROW_TEST_ENCODER)
            st.current_screen = screen_test_warning;
        else
            st.edit_mode = st.edit_mode ? 0 : 1;
        break;
    case KEY_CW:
    case KEY_CCW:
        if (st.edit_mode)
            step_value(st.pending_key == KEY_CW);
        else
            move_cursor(st.pending_key == KEY_CW);
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_test_warning()
{
    draw_text(80, 0, "WARNING", 0, 10, ALIGN_CENTRE, COLOUR_RED);
    draw_text(80, 30, "THE ALTITUDE TEST", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 50, "FUNCTION IS ONLY ", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 70, "TO BE USED WHEN", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 90, "NOT IN FLIGHT", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_footer(2);

    switch (st.pending_key) {
    case KEY_LEFT:
        st.current_screen = screen_alt_setup;
        break;
    case KEY_PUSH:
        st.test_altitude = TEST_ALTITUDES[0];
        st.current_screen = screen_test_altitude;
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}

void screen_test_altitude()
{
    char value[32];
    draw_text(80, 0, "USE THE ROTARY", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 20, "CONTROL TO ADJUST", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 40, "THE TEST ALTITUDE", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    snprintf(value, sizeof value, "%ld", long(st.test_altitude));
    draw_text(80, 60, value, 0, 20, ALIGN_CENTRE, COLOUR_RED);
    draw_text(140, 66, "ft", 0, 16, ALIGN_CENTRE, COLOUR_RED);
    draw_footer(2);

    switch (st.pending_key) {
    case KEY_LEFT:
        st.current_screen = screen_alt_setup;
        break;
    case KEY_CW:
    case KEY_CCW:
        // Only a value of the list moves; anything else stays where it is.
        for (int i = 0; i < TEST_ALTITUDE_COUNT; i++) {
            if (TEST_ALTITUDES[i] != st.test_altitude)
                continue;
            const int next = st.pending_key == KEY_CW ? (i + 1) % TEST_ALTITUDE_COUNT
                                                      : (i + TEST_ALTITUDE_COUNT - 1) % TEST_ALTITUDE_COUNT;
            st.test_altitude = TEST_ALTITUDES[next];
            break;
        }
        break;
    default:
        break;
    }
    st.pending_key = KEY_NONE;
}
