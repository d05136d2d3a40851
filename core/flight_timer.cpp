#include "core/flight_timer.h"

#include "core/state.h"
#include "core/time_base.h"

// Steps below the take-off airspeed before a detected flight is over.
constexpr uint8_t LANDING_STEPS = 30;
constexpr uint8_t MAX_FLIGHT_HOURS = 99;

void clear_flight_time()
{
    st.flight_hours = 0;
    st.flight_minutes = 0;
    st.flight_seconds = 0;
    st.flight_tenths = 0;
}

void flight_timer_step()
{
    // Detection. The countdown is re-armed at or above the take-off airspeed
    // in either mode; only DETECT starts or ends a flight from it.
    if (st.airspeed >= st.takeoff_airspeed) {
        if (st.flight_active == 0 && st.flight_timer_mode == TIMER_MODE_DETECT) {
            st.flight_active = 1;
            clear_flight_time();
        }
        st.landing_countdown = LANDING_STEPS;
    } else if (st.flight_active == 1 && st.flight_timer_mode == TIMER_MODE_DETECT
               && st.landing_countdown > 0) {
        st.landing_countdown--;
        if (st.landing_countdown == 0)
            st.flight_active = 0;
    }

    // Counting, a second for every ten steps; a flight started in this step
    // counts it as the first of its ten. The hours stop at 99 while minutes
    // and seconds keep cycling.
    if (st.flight_active == 1) {
        st.flight_tenths++;
        if (st.flight_tenths < TICKS_PER_SECOND)
            return;
        st.flight_tenths = 0;
        st.flight_seconds++;
        if (st.flight_seconds > 59) {
            st.flight_seconds = 0;
            st.flight_minutes++;
        }
        if (st.flight_minutes > 59) {
            st.flight_minutes = 0;
            st.flight_hours++;
        }
        if (st.flight_hours > MAX_FLIGHT_HOURS)
            st.flight_hours = MAX_FLIGHT_HOURS;
    }
}

void flight_start_stop()
{
    if (st.flight_active == 1) {
        st.flight_active = 0;
    } else {
        st.flight_active = 1;
        clear_flight_time();
    }
}
