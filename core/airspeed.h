// The airspeed channel: converter reading to airspeed, maximum and alarms.
#pragma once
#include <cstdint>

// Readings of the pitot converter above this are out of range and read as 0.
constexpr uint32_t ASI_ADC_FULL_SCALE = 4096;
// The dynamic pressure reading times this factor has the airspeed in mph as
// its square root.
constexpr uint32_t ASI_PRESSURE_FACTOR = 21;
constexpr uint32_t ASI_LIMIT_MPH = 250;
// Anything slower than this is not a usable indication and shows as 0.
constexpr uint32_t ASI_FLOOR_MPH = 16;
constexpr uint8_t ASI_UNIT_KMH = 1;
constexpr uint8_t ASI_UNIT_KTS = 2;

void update_airspeed();

// The channel's arithmetic, step by step, without the filter or the state
// record (a host that maps a wanted airspeed back to a reading uses the same):
// the dynamic pressure reading above the zero offset (0 below it or out of
// range), the airspeed in mph it shows at a calibration, and that airspeed in
// a unit (0 mph, 1 km/h, 2 kts).
uint32_t asi_pressure_of_reading(uint32_t reading, uint16_t zero_offset);
uint16_t asi_mph_of_pressure(uint32_t pressure, uint8_t cal_percent);
uint16_t asi_in_unit(uint16_t mph, uint8_t unit);
