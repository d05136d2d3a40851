#include "host/sensor_inputs.h"

#include "core/state.h"

namespace {

constexpr sensor_input_info INPUTS[] = {
    {sensor_input::altitude, "altitude", "Altitude:", "altitude shown, in the altitude unit", 0, 65535, 100},
    {sensor_input::vertical_speed, "vsi", "VSI:", "ft/min", -6000, 6000, 100},
    {sensor_input::asi_adc, "asi", "ASI:", "airspeed converter reading", 0, 4096, 16},
};

// 1 ft/min is 0.508 cm/s, as thousandths.
constexpr int32_t CMS_PER_1000_FPM = 508;

}  // namespace

std::span<const sensor_input_info> sensor_inputs()
{
    return INPUTS;
}

const sensor_input_info& sensor_input_of(sensor_input input)
{
    return INPUTS[static_cast<uint8_t>(input)];
}

int32_t clamp_sensor_input(sensor_input input, int64_t position)
{
    const sensor_input_info& info = sensor_input_of(input);
    if (position < info.minimum)
        return info.minimum;
    if (position > info.maximum)
        return info.maximum;
    return int32_t(position);
}

void host_set_input(sensor_input input, int32_t position)
{
    switch (input) {
    case sensor_input::altitude: host_set_altitude(position); break;
    case sensor_input::vertical_speed: host_set_vertical_speed(position); break;
    case sensor_input::asi_adc: host_set_asi_adc(position); break;
    }
}

void host_set_altitude(int32_t position)
{
    st.altitude = position;
}

void host_set_vertical_speed(int32_t position)
{
    st.vertical_speed = int16_t(position);
    // Round to the nearest hundredth of a metre per second, halves away from
    // zero, so the m/s readout follows the slider.
    int32_t scaled = position * CMS_PER_1000_FPM;
    st.vertical_speed_cms = int16_t(scaled >= 0 ? (scaled + 500) / 1000 : (scaled - 500) / 1000);
}

void host_set_asi_adc(int32_t position)
{
    st.asi_adc = uint16_t(position);
}
