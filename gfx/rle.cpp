#include "gfx/rle.h"
// PLACEHOLDER until the decoder is written.
void draw_rle_image(uint16_t, uint16_t, const uint8_t*) {}
