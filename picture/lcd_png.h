// The LCD buffer written out: as an 8-bit indexed PNG with the LCD palette,
// or as its raw bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/picture_scale.h"

// On failure both return false and leave a reason in why (capacity cap).
// A partly written regular file is removed.

// lcd_buffer as a palette PNG, each pixel repeated scale x scale.
bool write_lcd_png(const char* path, int scale, char* why, size_t cap);
// The same for another LCD-sized buffer (LCD_WIDTH x LCD_HEIGHT indices).
bool write_png_of(const uint8_t* buffer, const char* path, int scale, char* why, size_t cap);
// The same PNG of an LCD-sized buffer into out, for a host that embeds it
// (a report's pictures); out is left empty on failure.
bool png_in_memory(const uint8_t* buffer, int scale, std::vector<uint8_t>& out, char* why, size_t cap);

// The LCD_WIDTH x LCD_HEIGHT bytes of lcd_buffer, row-major.
bool write_lcd_dump(const char* path, char* why, size_t cap);
