#include "flight/sensor_mapping.h"

#include <cmath>

#include "core/airspeed.h"
#include "core/state.h"
#include "host/pressure_altitude.h"
#include "host/sensor_inputs.h"

namespace {

constexpr double PERCENT = 100.0;

// The lowest reading in low..high whose shown airspeed is at least target;
// high + 1 when none.
uint32_t first_reading_showing(double target, uint32_t low, uint32_t high)
{
    uint32_t end = high + 1;
    while (low < end) {
        const uint32_t mid = low + (end - low) / 2;
        if (airspeed_shown_for_reading(mid, st.asi_zero_offset, st.asi_cal_percent, st.asi_unit) >= target)
            end = mid;
        else
            low = mid + 1;
    }
    return low;
}

uint16_t shown(uint32_t reading)
{
    return airspeed_shown_for_reading(reading, st.asi_zero_offset, st.asi_cal_percent, st.asi_unit);
}

}  // namespace

int32_t altitude_input_for(double logged_ft)
{
    const double shown_unit = shown_altitude_for(logged_ft, st.altitude_unit, st.qnh);
    if (!std::isfinite(shown_unit))
        return clamp_sensor_input(sensor_input::altitude, 0);
    // The position whose encoder altitude (CAL aside) is nearest the logged
    // pressure altitude: rounding can leave the neighbour nearer.
    const long long guess = std::llround(std::fmax(std::fmin(shown_unit, 1e9), -1e9));
    long long best = guess;
    double best_error = INFINITY;
    for (long long candidate = guess - 1; candidate <= guess + 1; candidate++) {
        const int32_t position = clamp_sensor_input(sensor_input::altitude, candidate);
        const double error =
            std::fabs(pressure_altitude_ft(position, st.altitude_unit, st.qnh, 0) - logged_ft);
        if (error < best_error) {
            best_error = error;
            best = position;
        }
    }
    return clamp_sensor_input(sensor_input::altitude, best);
}

int32_t vertical_speed_input_for(double feet_per_minute)
{
    if (std::isnan(feet_per_minute))
        return 0;
    return clamp_sensor_input(sensor_input::vertical_speed, std::llround(std::fmax(std::fmin(feet_per_minute, 1e9), -1e9)));
}

uint16_t airspeed_shown_for_reading(uint32_t reading, uint16_t zero_offset, uint8_t cal_percent, uint8_t unit)
{
    return asi_in_unit(asi_mph_of_pressure(asi_pressure_of_reading(reading, zero_offset), cal_percent), unit);
}

int32_t asi_input_for(double indicated_kmh)
{
    const sensor_input_info& range = sensor_input_of(sensor_input::asi_adc);
    const uint32_t top = uint32_t(range.maximum);
    if (std::isnan(indicated_kmh) || indicated_kmh < 0.0)
        indicated_kmh = 0.0;
    const double per_unit = st.asi_unit == ASI_UNIT_KMH ? 1.0 : st.asi_unit == ASI_UNIT_KTS ? KMH_PER_KNOT : KMH_PER_MPH;
    const double target = indicated_kmh / per_unit;

    // Below the slowest airspeed shown: the reading of the dynamic pressure.
    const uint32_t first_moving = first_reading_showing(1.0, 0, top);
    if (first_moving > top || target < shown(first_moving)) {
        const double mph = indicated_kmh / KMH_PER_MPH * PERCENT / (st.asi_cal_percent > 0 ? st.asi_cal_percent : 1);
        const double reading = st.asi_zero_offset + mph * mph / ASI_PRESSURE_FACTOR;
        const double highest_still = first_moving > top ? top : first_moving - 1.0;
        return clamp_sensor_input(sensor_input::asi_adc, std::llround(std::fmin(reading, highest_still)));
    }
    // The nearer of the two airspeeds either side of the target.
    const uint16_t fastest = shown(top);
    const uint32_t above = target >= fastest ? top : first_reading_showing(target, first_moving, top);
    uint32_t low = first_reading_showing(shown(above), first_moving, top);
    if (low > first_moving && target - shown(low - 1) < shown(low) - target)
        low = first_reading_showing(shown(low - 1), first_moving, top);
    // The limit: one past the first reading that shows it, so that the
    // filters, whose settled output can be one reading low, show it too.
    if (shown(low) == fastest)
        return int32_t(low < top ? low + 1 : top);
    // Else the middle of the readings that show it (the same margin).
    const uint32_t high = first_reading_showing(shown(low) + 1, low, top) - 1;
    return int32_t(low + (high - low + 1) / 2);
}
