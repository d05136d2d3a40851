#include "host/pressure_altitude.h"

#include <cmath>

#include "core/state.h"

namespace {

constexpr uint8_t ALTITUDE_UNIT_METRES = 1;
constexpr double STANDARD_PRESSURE_MB = 1013.25;
// Standard-atmosphere troposphere: p = p0 (1 - h / SCALE_HEIGHT_FT)^(1 / EXPONENT).
constexpr double SCALE_HEIGHT_FT = 145366.45;
constexpr double EXPONENT = 0.190284;
constexpr double QNH_PER_MB = 1000.0;

}  // namespace

int32_t pressure_altitude_ft(int32_t shown_altitude, uint8_t altitude_unit, uint32_t qnh,
                             int32_t cal_offset_ft)
{
    double h = altitude_unit == ALTITUDE_UNIT_METRES ? shown_altitude * FEET_PER_METRE : double(shown_altitude);
    // Above the model's top there is no pressure left; the slider in metres
    // reaches past it, and the encoder then reports the top.
    if (h > SCALE_HEIGHT_FT)
        h = SCALE_HEIGHT_FT;
    const double q = qnh / QNH_PER_MB;
    const double p = q * std::pow(1.0 - h / SCALE_HEIGHT_FT, 1.0 / EXPONENT);
    const double pressure_altitude = SCALE_HEIGHT_FT * (1.0 - std::pow(p / STANDARD_PRESSURE_MB, EXPONENT));
    double feet = std::round(pressure_altitude) + cal_offset_ft;
    // Only far below sea level (not a slider position) could this leave the
    // field's range.
    if (feet > INT32_MAX)
        feet = INT32_MAX;
    if (feet < INT32_MIN)
        feet = INT32_MIN;
    return int32_t(feet);
}

double shown_altitude_for(double pressure_altitude_ft, uint8_t altitude_unit, uint32_t qnh)
{
    // The static pressure at this pressure altitude, then the altitude that
    // pressure is at over the set QNH.
    const double h = std::fmin(pressure_altitude_ft, SCALE_HEIGHT_FT);
    const double p = STANDARD_PRESSURE_MB * std::pow(1.0 - h / SCALE_HEIGHT_FT, 1.0 / EXPONENT);
    const double q = qnh / QNH_PER_MB;
    const double shown_ft = q > 0.0 ? SCALE_HEIGHT_FT * (1.0 - std::pow(p / q, EXPONENT)) : 0.0;
    return altitude_unit == ALTITUDE_UNIT_METRES ? shown_ft / FEET_PER_METRE : shown_ft;
}

void update_encoder_altitude()
{
    st.encoder_altitude = pressure_altitude_ft(st.altitude, st.altitude_unit, st.qnh, st.altitude_cal_offset);
}
