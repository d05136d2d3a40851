#include "flight/flight_summary.h"

#include "core/state.h"

void flight_watch::observe(double time)
{
    flight_summary& s = summary_;
    const bool flying = st.flight_active != 0;
    if (flying && !flying_)
        s.flights.push_back({time, 0.0, false});
    if (!flying && flying_ && !s.flights.empty()) {
        s.flights.back().landing = time;
        s.flights.back().landed = true;
    }
    flying_ = flying;

    // The channel raises one alarm bit for both: overspeed is tested first.
    if (st.alarm_active & ALARM_BIT) {
        if (st.airspeed > st.speed_limits[VNE] && st.vne_alarm == 1)
            s.overspeed_ticks++;
        else
            s.stall_ticks++;
    }
    if (s.ticks == 0 || st.altitude < s.lowest_altitude)
        s.lowest_altitude = st.altitude;
    if (s.ticks == 0 || st.altitude > s.highest_altitude)
        s.highest_altitude = st.altitude;
    s.altitude_unit = st.altitude_unit;
    s.max_airspeed = st.max_airspeed;
    s.asi_unit = st.asi_unit;
    s.timer_hours = st.flight_hours;
    s.timer_minutes = st.flight_minutes;
    s.timer_seconds = st.flight_seconds;
    s.ticks++;
}
