// The LCD palette: index to 0x00RRGGBB, used only for presentation.
#pragma once
#include <cstdint>

extern const uint32_t lcd_palette[256];
