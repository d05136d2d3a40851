#include "link/link_inputs.h"

#include "flight/sensor_mapping.h"

flight_inputs link_inputs(const link_values& values)
{
    flight_inputs inputs;
    inputs.altitude = altitude_input_for(values.pressure_altitude_ft);
    inputs.vertical_speed = vertical_speed_input_for(values.vertical_speed_fps * SECONDS_PER_MINUTE);
    inputs.asi_adc = asi_input_for(values.airspeed_kt * KMH_PER_KNOT);
    return inputs;
}
