// TIMERS SETUP: the flight timer by hand (MANUAL) or by airspeed (DETECT),
// and in DETECT the take-off airspeed.
#include <cstdio>

#include "core/flight_timer.h"
#include "core/state.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

enum : uint8_t { ROW_MODE, ROW_TAKEOFF };

constexpr uint8_t ROWS_MANUAL = 1;
constexpr uint8_t ROWS_DETECT = 2;
bool detecting()
{
    return st.flight_timer_mode == TIMER_MODE_DETECT;
}

constexpr int32_t TAKEOFF_MIN = 0;
constexpr int32_t TAKEOFF_MAX = 500;

// The take-off airspeed runs over 0..500 and wraps at both ends; worked in
// 32 bits so stepping below zero is seen as such.
void step_takeoff(bool up)
{
    const int32_t step = st.edit_step;
    const int32_t v = st.takeoff_airspeed;
    if (up)
        st.takeoff_airspeed = uint16_t(v + step > TAKEOFF_MAX ? TAKEOFF_MIN : v + step);
    else
        st.takeoff_airspeed = uint16_t(v - step < TAKEOFF_MIN ? TAKEOFF_MAX : v - step);
}

void turn(bool up)
{
    if (st.edit_mode) {
        if (st.menu_cursor == ROW_MODE)
            st.flight_timer_mode = detecting() ? TIMER_MODE_MANUAL : TIMER_MODE_DETECT;
        else if (st.menu_cursor == ROW_TAKEOFF)
            step_takeoff(up);
        return;
    }
    // Two rows in DETECT, so either direction goes to the other one; in
    // MANUAL the cursor stays on the only row.
    if (up)
        st.menu_cursor = (detecting() && st.menu_cursor == ROW_MODE) ? ROW_TAKEOFF : ROW_MODE;
    else if (st.menu_cursor > 0)
        st.menu_cursor = uint8_t(st.menu_cursor - 1);
    else if (detecting())
        st.menu_cursor = ROW_TAKEOFF;
    st.edit_step = 1;
}

}  // namespace

void screen_timers_setup()
{
    char value[32];
    draw_title_bar("TIMERS", "SETUP");
    draw_setting_row(ROW_MODE, "FLIGHT: ", timer_mode_names[detecting() ? TIMER_MODE_DETECT : TIMER_MODE_MANUAL]);
    if (detecting()) {
        snprintf(value, sizeof value, "%u", unsigned(st.takeoff_airspeed));
        draw_setting_row(ROW_TAKEOFF, "T/O AIRSPEED: ", value);
        draw_step_label(ROW_TAKEOFF);
        draw_scroll_bar(st.menu_cursor, ROWS_DETECT);
    } else {
        draw_scroll_bar(st.menu_cursor, ROWS_MANUAL);
    }
    draw_footer(FOOTER_BACK);

    switch (const uint8_t key = take_key()) {
    case KEY_LEFT: show_screen(screen_main_menu, MAIN_MENU_TIMERS_SETUP); break;
    case KEY_RIGHT: cycle_edit_step(STEP_UP_TO_100); break;
    case KEY_PUSH: st.edit_mode = toggled(st.edit_mode); break;
    case KEY_CW:
    case KEY_CCW: turn(key == KEY_CW); break;
    default: break;
    }
}
