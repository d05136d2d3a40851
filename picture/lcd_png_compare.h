// The LCD compared with a reference picture: a PNG that the png command
// wrote at any scale, or any 8-bit RGB or indexed PNG of 160 x 128 times a
// whole scale, compared through the LCD palette pixel for pixel.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/lcd_rgb_compare.h"

struct picture_comparison : lcd_difference {
    // The reference as read, 8-bit RGB, width x height, kept for the
    // mismatch pictures so that the file is read only once.
    std::vector<uint8_t> reference;
    int width = 0;
    int height = 0;
};

// Reads the reference once and compares it with buffer. False, with the
// reason in why, when the reference cannot be used: missing, unreadable, not
// a PNG, or of a size that is no whole scale of the LCD.
bool compare_with_png(const uint8_t* buffer, const char* path, picture_comparison& result, char* why, size_t cap);

// A reference picture's path as a scenario names it: a relative path is
// taken from the scenario's own folder (none: the working directory), so a
// scenario finds its pictures wherever it is run from. Returns out.
const char* reference_path(const char* folder, const char* path, char* out, size_t cap);

// compare_with_png, told as one line. On a mismatch it writes beside path,
// with its stem, STEM.actual.png (the LCD at the reference's scale) and
// STEM.diff.png (differing pixels red over a dimmed copy of the reference).
// Returns 1 when the LCD equals the reference, 0 when it differs (report:
// "png FILE: N pixels differ, first at X,Y expected INDEX got INDEX; wrote
// ACTUAL DIFF"), -1 when the reference cannot be used (report: the reason).
int check_lcd_against_png(const uint8_t* buffer, const char* path, char* report, size_t cap);
