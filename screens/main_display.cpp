// The main display: flight instruments, the TIMERS and MAX VALUES pages, and
// the START/STOP FLIGHT question.
#include "core/flight_timer.h"
#include "core/state.h"
#include "gfx/icons.h"
#include "gfx/lcd.h"
#include "gfx/rle.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/main_display_fields.h"
#include "screens/screens.h"

// QNH in millibar x 1000; a step must keep it strictly inside these bounds.
constexpr uint32_t QNH_LOWER_BOUND = 940250;
constexpr uint32_t QNH_UPPER_BOUND = 1080250;
constexpr uint32_t QNH_STEP_MB = 1000;
constexpr uint32_t QNH_STEP_INHG = 338;  // 0.01 inHg is 338.63, truncated

constexpr uint8_t PAGE_INSTRUMENTS = 0;
constexpr uint8_t PAGE_TIMERS = 1;
constexpr uint8_t PAGE_MAX_VALUES = 2;

static void draw_sensor_error_box()
{
    lcd_fill(16, 17, 145, 88, COLOUR_HIGHLIGHT);
    lcd_frame(16, 17, 145, 88, COLOUR_TEXT);
    draw_text(80, 19, "ALTITUDE", 0, 12, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 42, "SENSOR", 0, 12, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(80, 65, "ERROR", 0, 12, ALIGN_CENTRE, COLOUR_TEXT);
}

static void step_qnh_up()
{
    const uint32_t step = st.pressure_unit == 1 ? QNH_STEP_INHG : QNH_STEP_MB;
    if (st.qnh + step < QNH_UPPER_BOUND)
        st.qnh += step;
}

static void step_qnh_down()
{
    const uint32_t step = st.pressure_unit == 1 ? QNH_STEP_INHG : QNH_STEP_MB;
    // Same as qnh - step > lower bound, without wrapping below zero.
    if (st.qnh > QNH_LOWER_BOUND + step)
        st.qnh -= step;
}

void screen_main()
{
    if (st.main_page == PAGE_INSTRUMENTS) {
        draw_altitude_field();
        draw_qnh_field();
        draw_airspeed_field();
        if (st.vsi_display == 1)
            draw_vsi_tape();
        if (st.alt_sensor_ok == 0)
            draw_sensor_error_box();
    } else if (st.main_page == PAGE_TIMERS) {
        draw_timers_page();
    } else {
        draw_max_values_page();
    }

    const uint8_t key = take_key();
    if (key == KEY_NONE)
        return;

    // The first key during an unacknowledged alarm only silences it.
    if ((st.alarm_active & ALARM_BIT) && !(st.alarm_ack & ALARM_BIT)) {
        st.alarm_ack |= ALARM_BIT;
        return;
    }

    switch (key) {
    case KEY_LEFT:
        if (st.main_page != PAGE_INSTRUMENTS && st.main_page != PAGE_TIMERS)
            reset_max_values();
        else if (st.flight_timer_mode == TIMER_MODE_MANUAL)
            st.current_screen = screen_flight_start_stop;
        break;
    case KEY_RIGHT:
        st.main_page = st.main_page == PAGE_INSTRUMENTS ? PAGE_TIMERS
                     : st.main_page == PAGE_TIMERS      ? PAGE_MAX_VALUES
                                                        : PAGE_INSTRUMENTS;
        break;
    case KEY_PUSH:
        st.menu_cursor = 0;
        st.edit_mode = 0;
        if (st.security_enabled == 1) {
            for (uint8_t& digit : st.code_digits)
                digit = 0;
            st.current_screen = screen_unlock;
        } else {
            st.current_screen = screen_main_menu;
        }
        break;
    case KEY_CW:
        step_qnh_up();
        break;
    case KEY_CCW:
        step_qnh_down();
        break;
    default:
        break;
    }
}

void screen_flight_start_stop()
{
    draw_message_page(icon_question, st.flight_active == 1 ? "STOP" : "START", "FLIGHT?");
    draw_no_yes_footer();

    // YES answers with KEY_RIGHT; any other key is no.
    const uint8_t key = take_key();
    if (key == KEY_RIGHT)
        flight_start_stop();
    if (key != KEY_NONE)
        st.current_screen = screen_main;
}
