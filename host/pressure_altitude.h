// The altitude the encoder reports. The altitude slider is the instrument's
// altitude sensor: it gives the altitude shown at the set QNH, in the selected
// unit. An encoder reports pressure altitude, the altitude over the standard
// 1013.25 mb, in feet; this turns the one into the other with the standard
// atmosphere and adds the calibration offset.
#pragma once
#include <cstdint>

constexpr double FEET_PER_METRE = 3.280839895;

// shown_altitude in feet (altitude_unit 0) or metres (1); qnh in mb x 1000;
// cal_offset_ft in feet. Result in feet, rounded to the nearest foot.
int32_t pressure_altitude_ft(int32_t shown_altitude, uint8_t altitude_unit, uint32_t qnh,
                             int32_t cal_offset_ft);

// The other way: the altitude the altimeter shows (in feet or metres, not
// rounded) at qnh for a pressure altitude in feet, without any CAL offset.
// Above the model's top (no pressure left) the result is that of the top.
double shown_altitude_for(double pressure_altitude_ft, uint8_t altitude_unit, uint32_t qnh);

// Fills encoder_altitude from the state record's slider altitude, unit, QNH
// and calibration offset.
void update_encoder_altitude();
