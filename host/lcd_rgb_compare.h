// The LCD compared with a picture of it in 8-bit RGB, however the host came
// by the pixels (a PNG file read with libpng, or one the browser decoded for
// the web page): 160 x 128 times a whole scale, compared through the LCD
// palette pixel for pixel, and a difference told in the same words by every
// host.
#pragma once
#include <cstddef>
#include <cstdint>

// Largest scale a reference may have.
constexpr int REFERENCE_SCALE_MAX = 16;

struct lcd_difference {
    int scale = 1;         // the picture's scale, recognised from its size
    long differing = 0;    // LCD pixels that differ
    int first_x = 0;       // the first of them, row by row
    int first_y = 0;
    int expected = 0;      // the palette index the picture shows there, -1 for a colour not in the palette
    uint32_t expected_rgb = 0;
    int got = 0;           // the index the LCD has there
};

// The whole scale of a picture of width x height; false, with the reason in
// why, when it is none (1..REFERENCE_SCALE_MAX) of the LCD's.
bool reference_scale(int width, int height, int& scale, char* why, size_t cap);

// Compares lcd (LCD_WIDTH x LCD_HEIGHT palette indices) with rgb (width x
// height pixels of three bytes, row by row): every device pixel of an LCD
// pixel's square must show that pixel's colour. False, with why, when the
// size is no whole scale.
bool compare_lcd_with_rgb(const uint8_t* lcd, const uint8_t* rgb, int width, int height, lcd_difference& out,
                          char* why, size_t cap);

// The report of a picture that differs: "png PATH: N pixels differ, first at
// X,Y expected INDEX got INDEX; " and then after (what was written beside
// it, or why nothing was). A colour outside the palette is "#RRGGBB".
void describe_lcd_difference(const char* path, const lcd_difference& difference, const char* after, char* report,
                             size_t cap);
