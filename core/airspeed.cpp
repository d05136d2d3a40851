#include "core/airspeed.h"

#include <cmath>
#include <cstdint>

#include "core/state.h"

// Readings of the pitot converter above this are out of range and read as 0.
constexpr uint32_t ASI_ADC_FULL_SCALE = 4096;
// The dynamic pressure reading times this factor has the airspeed in mph as
// its square root.
constexpr uint32_t ASI_PRESSURE_FACTOR = 21;
constexpr uint32_t ASI_LIMIT_MPH = 250;
// Anything slower than this is not a usable indication and shows as 0.
constexpr uint32_t ASI_FLOOR_MPH = 16;

constexpr uint8_t ASI_FILTER_FAST = 1;
constexpr uint8_t ASI_FILTER_SLOW = 2;
constexpr uint8_t ASI_UNIT_KMH = 1;
constexpr uint8_t ASI_UNIT_KTS = 2;

constexpr uint32_t ALARM_BIT = 1u;

void update_airspeed()
{
    // 1. Sample the converter.
    st.asi_adc_sample = st.asi_adc;
    uint32_t r = st.asi_adc_sample;

    // 2. Remove the zero offset; a reading below it is no airspeed.
    uint32_t p;
    if (r < st.asi_zero_offset) {
        p = 0;
    } else {
        p = r - st.asi_zero_offset;
        if (p > ASI_ADC_FULL_SCALE)
            p = 0;
    }

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

    // 4. Square root of the exact integer, truncated.
    uint32_t s = uint32_t(std::sqrt(double(ASI_PRESSURE_FACTOR * p)));

    // 5. Calibration in percent.
    s = (s * st.asi_cal_percent) / 100;

    // 6. to 8. Limit, floor, mph value.
    if (s > ASI_LIMIT_MPH)
        s = ASI_LIMIT_MPH;
    st.airspeed = uint16_t(s);
    if (st.airspeed < ASI_FLOOR_MPH)
        st.airspeed = 0;
    st.airspeed_mph = st.airspeed;

    // 9. Selected unit.
    if (st.asi_unit == ASI_UNIT_KMH)
        st.airspeed = uint16_t(uint32_t(st.airspeed_mph) * 1609 / 1000);
    else if (st.asi_unit == ASI_UNIT_KTS)
        st.airspeed = uint16_t(uint32_t(st.airspeed_mph) * 869 / 1000);

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
