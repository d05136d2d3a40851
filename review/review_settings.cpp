#include "review/review_settings.h"

#include <cstdio>

#include "core/state.h"

namespace {

// An option's name; a value outside the table (none of the setup pages
// leaves one) is shown as its number.
template <size_t N, size_t W>
std::string option(const char (&names)[N][W], unsigned value)
{
    return value < N ? std::string(names[value]) : std::to_string(value);
}

std::string with_unit(long value, const std::string& unit)
{
    return std::to_string(value) + " " + unit;
}

constexpr double QNH_PER_MB = 1000.0;
constexpr double QNH_PER_INHG = 33863.0;
constexpr const char* SPEED_ROWS[5] = {"Vne SPEED", "Vno SPEED", "Vfe SPEED", "Vs1 SPEED", "Vs0 SPEED"};

}  // namespace

std::vector<review_setting> instrument_settings()
{
    char qnh[32];
    if (st.pressure_unit == 0)
        snprintf(qnh, sizeof qnh, "%u mB", unsigned(st.qnh / QNH_PER_MB));
    else
        snprintf(qnh, sizeof qnh, "%.2f IN", st.qnh / QNH_PER_INHG);
    const std::string altitude_unit = option(altitude_unit_names, st.altitude_unit);
    const std::string speed_unit = option(asi_unit_names, st.asi_unit);
    char cal[16];
    snprintf(cal, sizeof cal, "%+d %s", int(st.altitude_cal_offset), altitude_unit.c_str());

    std::vector<review_setting> rows = {
        {"MAIN", "QNH", qnh},
        {"ALTITUDE", "ALTITUDE UNIT", altitude_unit},
        {"ALTITUDE", "PRESSURE UNIT", option(pressure_unit_names, st.pressure_unit)},
        {"ALTITUDE", "RESOLUTION", st.altitude_unit == 0 ? option(resolution_names_ft, st.altitude_resolution)
                                                         : option(resolution_names_m, st.altitude_resolution)},
        {"ALTITUDE", "POSITION", st.alt_on_top ? "TOP" : "BOTTOM"},
        {"ALTITUDE", "CAL", cal},
        {"ALTITUDE", "SERIAL OUT", option(off_on_names, st.serial_out)},
        {"ALTITUDE", "PROT", option(protocol_names, st.serial_protocol)},
        {"VSI", "VSI DISPLAY", option(off_on_names, st.vsi_display)},
        {"VSI", "VSI UNIT", option(vsi_unit_names, st.vsi_unit)},
        {"VSI", "SCALE", st.vsi_unit == 0 ? option(vsi_scale_names_ft, st.vsi_scale)
                                          : option(vsi_scale_names_ms, st.vsi_scale)},
        {"VSI", "VSI CAL", std::to_string(st.vsi_cal_percent) + "%"},
        {"ASI", "ASI UNIT", speed_unit},
        {"ASI", "ASI FILTER", option(asi_filter_names, st.asi_filter)},
    };
    for (int i = 0; i < 5; i++)
        rows.push_back({"ASI", SPEED_ROWS[i], with_unit(st.speed_limits[i], speed_unit)});
    rows.push_back({"ASI", "Vs ALARM", option(off_on_names, st.vs_alarm)});
    rows.push_back({"ASI", "Vne ALARM", option(off_on_names, st.vne_alarm)});
    rows.push_back({"ASI", "CAL", std::to_string(st.asi_cal_percent) + "%"});
    rows.push_back({"ASI", "ZERO ASI SENSOR", std::to_string(st.asi_zero_offset)});
    rows.push_back({"TIMERS", "FLIGHT", option(timer_mode_names, st.flight_timer_mode)});
    rows.push_back({"TIMERS", "T/O AIRSPEED", with_unit(st.takeoff_airspeed, speed_unit)});
    return rows;
}
