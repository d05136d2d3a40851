// From a flight's values to the instrument's three sensor inputs, at the
// instrument's current settings (read from the state record each time, so
// turning QNH or changing a unit or the calibration takes effect at once).
// Each result is an input position, held inside the input's range.
#pragma once
#include <cstdint>

constexpr double KMH_PER_MPH = 1.609344;
constexpr double KMH_PER_KNOT = 1.852;

// The altitude the altimeter shows for this pressure altitude at the set QNH,
// in the set altitude unit: the inverse of pressure_altitude_ft without the
// CAL offset. The encoder adds CAL on top of the pressure altitude it derives,
// as a real encoder's correction does; the altimeter itself shows the
// uncorrected altitude. So the encoder sends the pressure altitude back (to
// a foot, or to the three feet of one metre in metres) plus CAL.
int32_t altitude_input_for(double pressure_altitude_ft);

// The VSI input for a vertical speed in ft/min.
int32_t vertical_speed_input_for(double feet_per_minute);

// What the airspeed channel shows for a converter reading with no filter, in
// the given unit: the same arithmetic as update_airspeed, without touching
// the state record.
uint16_t airspeed_shown_for_reading(uint32_t reading, uint16_t zero_offset, uint8_t cal_percent, uint8_t unit);

// The converter reading whose airspeed, through the set zero offset,
// calibration and unit, is the nearest the instrument can show to this
// indicated airspeed (halves up): the middle of the readings that show it,
// since the FAST and SLOW filters settle up to one reading below their input.
// Below the slowest airspeed it shows (16 mph before calibration) the reading
// is that of the dynamic pressure, which shows 0 as the instrument would;
// above its limit, one past the first reading that shows the limit.
int32_t asi_input_for(double indicated_kmh);
