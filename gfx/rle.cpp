#include "gfx/rle.h"

#include <cstring>
#include <functional>

#include "gfx/icons.h"
#include "gfx/lcd.h"

// The pixel stream is read through a 128-byte staging block, one whole block
// at a time. The last block of the data may be shorter: rle_fill says how many
// bytes of rle_block are valid, so nothing past the end of the data is copied.
constexpr uint8_t RLE_BLOCK_SIZE = 128;

static uint16_t rle_width;
static uint16_t rle_height;
static uint8_t rle_block[RLE_BLOCK_SIZE];
static uint8_t rle_pos;   // read position within rle_block
static uint8_t rle_used;  // bytes of the current block consumed, 0..128
static uint8_t rle_fill;  // bytes of the current block that are valid
static const uint8_t* rle_next;  // start of the next block in the data
static const uint8_t* rle_end;   // one past the last byte of the data

static void rle_fetch_block()
{
    size_t left = size_t(rle_end - rle_next);
    rle_fill = uint8_t(left < RLE_BLOCK_SIZE ? left : RLE_BLOCK_SIZE);
    memcpy(rle_block, rle_next, rle_fill);
    rle_next += rle_fill;
    rle_pos = 0;
    rle_used = 0;
}

// Positions are unsigned 16-bit sums, like every coordinate of the drawing
// code: an image placed left of or above the screen (a "negative" position)
// shows the part of it that comes back onto the screen.
static void rle_put(uint16_t x, uint16_t y, uint32_t col, uint32_t row, uint8_t colour)
{
    lcd_set_pixel(uint16_t(x + col), uint16_t(y + row), colour);
}

// Takes the next stream byte into *out; false once the data is exhausted.
static bool rle_take(uint8_t* out)
{
    if (rle_used == rle_fill) {
        if (rle_next == rle_end)
            return false;
        rle_fetch_block();
    }
    *out = rle_block[rle_pos++];
    rle_used++;
    return true;
}

void draw_rle_image_bounded(uint16_t x, uint16_t y, const uint8_t* image, const uint8_t* end)
{
    if (image == nullptr || end == nullptr || end - image < 4)
        return;
    rle_width = uint16_t(image[0] | image[1] << 8);
    rle_height = uint16_t(image[2] | image[3] << 8);
    rle_next = image + 4;
    rle_end = end;
    rle_fetch_block();

    for (uint32_t r = 0; r < rle_height; r++) {
        uint32_t col = 0;
        // The row end is tested between whole items only.
        do {
            uint8_t n, v;
            if (!rle_take(&n))
                return;
            if (n & 0x80) {
                if (!rle_take(&v))
                    return;
                for (uint8_t i = 0; i < (n & 0x7F); i++)
                    rle_put(x, y, col++, r, v);
            } else {
                for (uint8_t i = 0; i < n; i++) {
                    if (!rle_take(&v))
                        return;
                    rle_put(x, y, col++, r, v);
                }
            }
        } while (col < rle_width);
    }
}

void draw_rle_image(uint16_t x, uint16_t y, const uint8_t* image)
{
    const uint8_t* store_end = icon_store + icon_store_size;
    // std::less gives a total order over pointers into different objects.
    std::less<const uint8_t*> before;
    if (before(image, icon_store) || !before(image, store_end))
        return;
    draw_rle_image_bounded(x, y, image, store_end);
}
