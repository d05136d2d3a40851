// The LCD for Python: an instrument's frame as a NumPy array without a copy,
// its colours through the palette, and PNG pictures written and compared as
// the scenario language's png and expect png do. Every frame is LCD_WIDTH x
// LCD_HEIGHT palette indices, row-major.
#pragma once
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

// The frame as a read-only LCD_HEIGHT x LCD_WIDTH uint8 array; owner (who
// keeps the frame) is kept alive as the array's base.
pybind11::array lcd_view(const uint8_t* frame, const pybind11::handle& owner);
// LCD_HEIGHT x LCD_WIDTH x 3 bytes, red, green, blue: a new array.
pybind11::array lcd_rgb(const uint8_t* frame);

// The frame as a palette PNG at scale (ValueError outside the png command's
// range, OSError when it cannot be written).
void lcd_png(const uint8_t* frame, const std::string& path, const pybind11::handle& scale);
// The same picture's bytes, for notebooks.
pybind11::bytes lcd_png_bytes(const uint8_t* frame, int scale);

// Raises AssertionError with the comparison's report when the frame differs
// from the reference (leaving STEM.actual.png and STEM.diff.png beside it),
// OSError when the reference cannot be used.
void lcd_expect_png(const uint8_t* frame, const std::string& path);
// The number of pixels that differ from the reference.
long lcd_differing_pixels(const uint8_t* frame, const std::string& path);
