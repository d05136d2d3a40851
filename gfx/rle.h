// Run-length encoded images of palette indices, and the icon set.
//
// Image format, little-endian: u16 width, u16 height, then the rows from top
// to bottom as items. A control byte n with bit 7 set is a run: the next byte
// is a palette index repeated n & 0x7F times. Otherwise it is a literal: the
// next n bytes are one index per pixel. Items never cross the end of a row.
#pragma once
#include <cstdint>

// Draws image with its top-left pixel at (x, y). Every pixel of the image
// rectangle is written (images are opaque); off-screen pixels are clipped.
// Positions are unsigned 16-bit sums, so x = 65526 means ten columns left of
// the screen.
// The image must lie in the icon store (gfx/icons.h), whose end bounds every
// read; a pointer outside the store draws nothing.
void draw_rle_image(uint16_t x, uint16_t y, const uint8_t* image);

// The same decoder for an image whose data ends at end (one past its last
// byte). Nothing at or after end is read: a stream that runs out stops the
// drawing there, and fewer than 4 bytes draw nothing.
void draw_rle_image_bounded(uint16_t x, uint16_t y, const uint8_t* image, const uint8_t* end);
