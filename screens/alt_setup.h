// The altitudes the encoder test steps through, in feet.
#pragma once
#include <cstdint>

constexpr int TEST_ALTITUDE_COUNT = 10;
// The knob cycles through these in order; after the last comes the first.
extern const int32_t TEST_ALTITUDES[TEST_ALTITUDE_COUNT];
