// Run-length encoded images of palette indices, and the icon set.
#pragma once
#include <cstdint>

// Draws image with its top-left pixel at (x, y). Every pixel of the image
// rectangle is written (images are opaque); off-screen pixels are clipped.
void draw_rle_image(uint16_t x, uint16_t y, const uint8_t* image);
