// The presentation's point batch, without any GL: every non-black LCD pixel
// as one coloured point, row by row. The GL surface sends this batch.
#pragma once
#include <cstdint>

struct lcd_point {
    uint16_t x, y;
    uint8_t r, g, b;
};

// Fills points (room for 160 x 128) from buffer through lcd_palette and
// returns how many there are. Pixels whose colour is black are skipped.
int lcd_collect_points(const uint8_t* buffer, lcd_point* points);
