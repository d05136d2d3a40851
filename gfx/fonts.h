// The nine generated font records (see tools/fontgen).
#pragma once
#include <cstdint>

extern const uint8_t font_8[];
extern const uint8_t font_9[];
extern const uint8_t font_10[];
extern const uint8_t font_12[];
extern const uint8_t font_16[];
extern const uint8_t font_20[];
extern const uint8_t font_24[];
extern const uint8_t font_30[];
extern const uint8_t font_34[];
