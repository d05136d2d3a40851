#include "core/airspeed.h"

#include <cmath>
#include <cstdint>

#include "core/state.h"

constexpr uint8_t ASI_FILTER_FAST = 1;
constexpr uint8_t ASI_FILTER_SLOW = 2;

uint32_t asi_pressure_of_reading(uint32_t reading, uint16_t zero_offset)
{
    // A reading below the zero offset is no airspeed.
    if (reading < zero_offset)
        return 0;
    const uint32_t p = reading - zero_offset;
    return p > ASI_ADC_FULL_SCALE ? 0 : p;
}

uint16_t asi_mph_of_pressure(uint32_t pressure, uint8_t cal_percent)
{
    // Square root of the exact integer, truncated; calibration in percent;
    // limit and floor.
    uint32_t s = uint32_t(std::sqrt(double(ASI_PRESSURE_FACTOR * pressure)));
    s = (s * cal_percent) / 100;
    if (s > ASI_LIMIT_MPH)
        s = ASI_LIMIT_MPH;
    if (s < ASI_FLOOR_MPH)
        s = 0;
    return uint16_t(s);
}

uint16_t asi_in_unit(uint16_t mph, uint8_t unit)
{
    if (unit == ASI_UNIT_KMH)
        return uint16_t(uint32_t(mph) * 1609 / 1000);
    if (unit == ASI_UNIT_KTS)
        return uint16_t(uint32_t(mph) * 869 / 1000);
    return mph;
}

void update_airspeed()
{
    // 1. Sample the converter.
    st.asi_adc_sample = st.asi_adc;

    // 2. Remove the zero offset.
    uint32_t p = asi_pressure_of_reading(st.asi_adc_sample, st.asi_zero_offset);

    // 3. Smoothing. FAST and SLOW share one accumulator: FAST keeps twice the
    // smoothed reading and moves half way each update, SLOW keeps four times
    // it and moves a quarter of the way.
    if (st.asi_filter == ASI_FILTER_FAST) {
        st.asi_filter_state = (2 * p + st.asi_filter_state) >> 1;
        p = st.asi_filter_state >> 1;
    } else if (st.asi_filter == ASI_FILTER_SLOW) {
        st.asi_filter_state = (3 * st.asi_filter_state + 4 * p) >> 2;
        p = st.asi_filter_state >> 2;
    }

    // 4. to 8. Square root, calibration, limit, floor: the mph value.
    st.airspeed_mph = asi_mph_of_pressure(p, st.asi_cal_percent);

    // 9. Selected unit.
    st.airspeed = asi_in_unit(st.airspeed_mph, st.asi_unit);

    // 10. Highest airspeed seen, in whatever unit is selected now.
    if (st.airspeed > st.max_airspeed) {
        st.max_airspeed = st.airspeed;
        max_values_changed_hook();
    }

    // 11. Overspeed first, then stall during a flight. The acknowledgement is
    // kept while a condition holds and lapses with it.
    if (st.airspeed > st.speed_limits[VNE] && st.vne_alarm == 1) {
        st.alarm_active |= ALARM_BIT;
    } else if (st.airspeed < st.speed_limits[VS1] && st.vs_alarm == 1 && st.flight_active == 1) {
        st.alarm_active |= ALARM_BIT;
    } else {
        st.alarm_active &= ~ALARM_BIT;
        st.alarm_ack &= ~ALARM_BIT;
    }
}
