// The main display's fields: altitude, QNH, airspeed, the VSI tape, and the
// TIMERS and MAX VALUES pages.
#include <cstdio>
#include <cstdlib>

#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/main_display_fields.h"

constexpr int TEXT_SIZE = 32;

// A name from an option table, falling back to entry 0 for a value that has
// no name (the setup screens never store one).
template <int N, int W>
static const char* option_name(const char (&table)[N][W], uint8_t value)
{
    return table[value < N ? value : 0];
}

void draw_altitude_field()
{
    char text[TEXT_SIZE];
    snprintf(text, sizeof text, "%ld", long(st.altitude));
    const char* unit = option_name(altitude_unit_names, st.altitude_unit);
    const uint16_t y = st.alt_on_top == 1 ? 18 : 61;
    const uint16_t unit_y = st.alt_on_top == 1 ? 60 : 103;

    if (st.vsi_display != 0) {
        draw_text(160, y, text, 0, 24, ALIGN_RIGHT, COLOUR_TEXT);
        draw_text(160, unit_y, unit, 0, 9, ALIGN_RIGHT, COLOUR_CAPTION);
    } else {
        draw_text(132, y - 7, text, 0, 24, ALIGN_RIGHT, COLOUR_TEXT);
        draw_text(145, y - 7 + 22, unit, 0, 9, ALIGN_CENTRE, COLOUR_CAPTION);
    }
}

void draw_qnh_field()
{
    char text[TEXT_SIZE];
    lcd_fill(45, 109, 120, 127, COLOUR_BACKGROUND);
    lcd_frame(45, 109, 120, 127, COLOUR_CAPTION);
    if (st.pressure_unit == 1) {
        snprintf(text, sizeof text, "%4.2f", st.qnh / 33863.0);
        draw_text(70, 110, text, 0, 9, ALIGN_CENTRE, COLOUR_TEXT);
        draw_text(100, 110, "IN", 0, 8, ALIGN_LEFT, COLOUR_CAPTION);
    } else {
        snprintf(text, sizeof text, "%4u", unsigned(st.qnh / 1000));
        draw_text(70, 110, text, 0, 9, ALIGN_CENTRE, COLOUR_TEXT);
        draw_text(97, 110, "mB", 0, 8, ALIGN_LEFT, COLOUR_CAPTION);
    }
}

void draw_airspeed_field()
{
    char text[TEXT_SIZE];
    snprintf(text, sizeof text, "%u", unsigned(st.airspeed));
    uint16_t y = st.alt_on_top == 1 ? 63 : 18;
    if (st.vsi_display == 0)
        y -= 10;

    draw_text(120, y, text, 0, 24, ALIGN_RIGHT, COLOUR_TEXT);
    const uint16_t box_x0 = uint16_t(st.text_start_x - 1);
    const uint16_t box_x1 = st.text_end_x;

    const uint16_t speed = st.airspeed;
    const bool overspeed = speed > st.speed_limits[VNE];
    const bool stalling = speed < st.speed_limits[VS1] && st.flight_active == 1;
    if (overspeed || stalling) {
        if (st.blink_phase == 1) {
            lcd_fill(box_x0, y + 5, box_x1, y + 43, COLOUR_HIGHLIGHT);
            draw_text(120, y, text, 0, 24, ALIGN_RIGHT, COLOUR_TEXT);
        }
    } else if (speed > st.speed_limits[VNO]) {
        lcd_fill(box_x0, y + 5, box_x1, y + 43, COLOUR_CAUTION);
        draw_text(120, y, text, 0, 24, ALIGN_RIGHT, COLOUR_BACKGROUND);
    }

    draw_text(160, y + 22, option_name(asi_unit_names, st.asi_unit), 0, 9, ALIGN_RIGHT, COLOUR_CAPTION);
}

// Full scale of the tape in ft/min for each vsi_scale.
static int32_t vsi_full_scale()
{
    switch (st.vsi_scale) {
    case 0: return 1000;
    case 1: return 2000;
    case 2: return 4000;
    default: return 2000;
    }
}

void draw_vsi_tape()
{
    char text[TEXT_SIZE];
    const bool metric = st.vsi_unit == 1;

    // Reading and unit.
    if (metric) {
        snprintf(text, sizeof text, "%+5.1f", st.vertical_speed_cms * 0.01);
        draw_text(100, 0, text, 0, 9, ALIGN_RIGHT, COLOUR_TEXT);
    } else {
        snprintf(text, sizeof text, "%+5d", int(st.vertical_speed));
        draw_text(100, 0, text, 0, 12, ALIGN_RIGHT, COLOUR_TEXT);
    }
    draw_text(102, 4, metric ? "m/s" : "fpm", 0, 8, ALIGN_LEFT, COLOUR_CAPTION);

    // Scale.
    lcd_vline(0, 127, 28, COLOUR_TEXT);
    static const uint16_t long_ticks[5] = {0, 32, 64, 96, 127};
    static const uint16_t short_ticks[4] = {16, 48, 80, 112};
    for (uint16_t y : long_ticks)
        lcd_hline(23, 28, y, COLOUR_TEXT);
    for (uint16_t y : short_ticks)
        lcd_hline(26, 28, y, COLOUR_TEXT);

    // Indicator: one chevron per row, growing from the centre line. The
    // ft/min value sets its length in either unit.
    int32_t n = std::abs(int32_t(st.vertical_speed)) * 59 / vsi_full_scale();
    if (n > 59)
        n = 59;
    if (n == 0) {
        lcd_hline(0, 20, 64, COLOUR_INDICATOR);
        lcd_hline(0, 20, 65, COLOUR_INDICATOR);
    } else if (st.vertical_speed >= 0) {
        for (int32_t i = 0; i < n; i++) {
            lcd_line(0, 64 - i, 10, 59 - i, COLOUR_INDICATOR);
            lcd_line(10, 59 - i, 20, 64 - i, COLOUR_INDICATOR);
        }
    } else {
        for (int32_t i = 0; i < n; i++) {
            lcd_line(0, 64 + i, 10, 69 + i, COLOUR_INDICATOR);
            lcd_line(10, 69 + i, 20, 64 + i, COLOUR_INDICATOR);
        }
    }

    // Scale end labels.
    static const char labels_ft[3][2][3] = {{"+1", "-1"}, {"+2", "-2"}, {"+4", "-4"}};
    static const char labels_ms[3][2][4] = {{"+5", "-5"}, {"+10", "-10"}, {"+20", "-20"}};
    const uint8_t scale = st.vsi_scale <= 2 ? st.vsi_scale : 0;
    const char* upper = metric ? labels_ms[scale][0] : labels_ft[scale][0];
    const char* lower = metric ? labels_ms[scale][1] : labels_ft[scale][1];
    draw_text(12, 0, upper, 0, 8, ALIGN_CENTRE, COLOUR_CAPTION);
    draw_text(12, 115, lower, 0, 8, ALIGN_CENTRE, COLOUR_CAPTION);
}

// A page's heading over the title rule, and the caption of its one value.
static void draw_page_heading(const char* heading, const char* caption, uint16_t caption_y)
{
    draw_text(80, 5, heading, 0, 9, ALIGN_CENTRE, COLOUR_TEXT);
    draw_title_rule();
    draw_text(0, caption_y, caption, 0, 9, ALIGN_LEFT, COLOUR_CAPTION);
}

void draw_timers_page()
{
    char text[TEXT_SIZE];
    draw_page_heading("TIMERS", "FLIGHT:", 40);

    // The hours end where the separator begins, so one digit starts at x 85
    // and a second digit grows to the left instead of into the separator.
    snprintf(text, sizeof text, "%d", int(st.flight_hours));
    draw_text(95, 40, text, 0, 9, ALIGN_RIGHT, COLOUR_TEXT);
    if (!(st.flight_active == 1 && st.blink_phase == 1))
        draw_text(95, 40, ":", 0, 9, ALIGN_LEFT, COLOUR_TEXT);
    snprintf(text, sizeof text, "%02d", int(st.flight_minutes));
    draw_text(102, 40, text, 0, 9, ALIGN_LEFT, COLOUR_TEXT);
}

void draw_max_values_page()
{
    char text[TEXT_SIZE];
    draw_page_heading("MAX VALUES", "AIRSPEED:", 30);

    snprintf(text, sizeof text, "%ld", long(st.max_airspeed));
    draw_text(80, 50, text, 0, 16, ALIGN_CENTRE, COLOUR_TEXT);
    const uint16_t box_x0 = uint16_t(st.text_start_x - 1);
    const uint16_t box_x1 = uint16_t(st.text_end_x - 1);
    if (st.max_airspeed >= st.speed_limits[VNE]) {
        lcd_fill(box_x0, 51, box_x1, 80, COLOUR_HIGHLIGHT);
        draw_text(80, 50, text, 0, 16, ALIGN_CENTRE, COLOUR_TEXT);
    } else if (st.max_airspeed >= st.speed_limits[VFE]) {
        lcd_fill(box_x0, 51, box_x1, 80, COLOUR_CAUTION);
        draw_text(80, 50, text, 0, 16, ALIGN_CENTRE, COLOUR_BACKGROUND);
    }
    draw_text(158, 58, option_name(asi_unit_names, st.asi_unit), 0, 9, ALIGN_RIGHT, COLOUR_CAPTION);

    // Footer without the rotary hint: only the left key has a meaning here.
    draw_footer_lines();
    draw_footer_left_label("RESET");
}
