// The text renderer: proportional bitmap glyphs from the font records, set
// bits only, through lcd_set_pixel.
#include "gfx/text.h"

#include <array>
#include <bit>
#include <cstring>

#include "core/state.h"
#include "gfx/fonts.h"
#include "gfx/lcd.h"
#include "gfx/text_log.h"

const uint8_t* font_for_size(uint8_t size)
{
    switch (size) {
    case 9: return font_9;
    case 10: return font_10;
    case 12: return font_12;
    case 16: return font_16;
    case 20: return font_20;
    case 24: return font_24;
    case 30: return font_30;
    case 34: return font_34;
    default: return font_8;
    }
}

// A glyph byte's eight pixels as a mask over eight buffer bytes: byte k of the
// mask is 0xFF where bit 0x80 >> k is set (the leftmost pixel first).
static_assert(std::endian::native == std::endian::little, "the pixel masks are laid out little-endian");
static constexpr std::array<uint64_t, 256> make_pixel_masks()
{
    std::array<uint64_t, 256> masks{};
    for (unsigned bits = 0; bits < 256; ++bits)
        for (unsigned k = 0; k < 8; ++k)
            if (bits & (0x80u >> k))
                masks[bits] |= uint64_t(0xFF) << (8 * k);
    return masks;
}
static constexpr std::array<uint64_t, 256> PIXEL_MASKS = make_pixel_masks();
constexpr uint64_t EVERY_BYTE = 0x0101010101010101ull;

static uint16_t read_u16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }

// The glyph entry of c, or 0 when the font does not hold c. Such a character
// draws nothing and takes no advance, so nothing outside the record is read.
static const uint8_t* glyph_entry(const uint8_t* font, uint8_t c)
{
    uint16_t first = read_u16(font + 2);
    uint16_t last = read_u16(font + 4);
    if (c < first || c > last) return 0;
    return font + 8 + 4 * (c - first);
}

void draw_text(uint16_t x, uint16_t y, const char* text, uint8_t reserved, uint8_t size, uint8_t align,
               uint8_t colour)
{
    (void)reserved;
    const uint8_t* font = font_for_size(size);
    uint8_t height = font[7];

    uint16_t start = x;
    if (align != ALIGN_LEFT) {
        uint16_t total = 0;
        for (const char* p = text; *p; ++p) {
            const uint8_t* e = glyph_entry(font, (uint8_t)*p);
            if (e) total = (uint16_t)(total + e[1] + 1);
        }
        if (align == ALIGN_RIGHT) start = (uint16_t)(x - total);
        else start = (uint16_t)(x - (uint16_t)(total >> 1));
    }

    st.text_start_x = start;
    // The call goes into the text log as it is drawn; once the log is full
    // it is written to a scratch entry, and only counted.
    static drawn_text not_kept;
    const bool kept = lcd_text_log.count < TEXT_LOG_CAPACITY;
    drawn_text& logged = kept ? lcd_text_log.entries[lcd_text_log.count] : not_kept;
    int logged_chars = 0;
    const uint64_t filled = EVERY_BYTE * colour;
    uint16_t pen = start;
    for (const char* p = text; *p; ++p) {
        if (logged_chars < TEXT_LOG_CHARS)
            logged.text[logged_chars++] = *p;
        const uint8_t* e = glyph_entry(font, (uint8_t)*p);
        if (!e) continue;
        uint8_t width = e[1];
        const uint8_t* image = font + (((uint32_t)e[0] << 16) | ((uint32_t)e[3] << 8) | e[2]);
        for (uint8_t r = 0; r < height; ++r) {
            // Rows and columns off screen are dropped, as lcd_set_pixel would;
            // only the set bits of a byte are visited, the leftmost first.
            const uint16_t row_y = (uint16_t)(y + r);
            uint8_t* row = lcd_buffer + (row_y < LCD_HEIGHT ? row_y * LCD_WIDTH : 0);
            for (uint8_t b = 0; 8 * b < width; ++b) {
                uint8_t bits = *image++;
                if (bits == 0 || row_y >= LCD_HEIGHT)
                    continue;
                const uint16_t left = (uint16_t)(pen + 8 * b);
                if (left <= LCD_WIDTH - 8) {
                    // All eight on screen: set them in one go.
                    uint64_t pixels;
                    memcpy(&pixels, row + left, sizeof pixels);
                    const uint64_t mask = PIXEL_MASKS[bits];
                    pixels = (pixels & ~mask) | (filled & mask);
                    memcpy(row + left, &pixels, sizeof pixels);
                    continue;
                }
                while (bits != 0) {
                    const int k = __builtin_clz((unsigned)bits) - 24;
                    bits = (uint8_t)(bits & ~(0x80u >> k));
                    const uint16_t x = (uint16_t)(left + k);
                    if (x < LCD_WIDTH)
                        row[x] = colour;
                }
            }
        }
        pen = (uint16_t)(pen + width + 1);
    }
    st.text_end_x = pen;
    logged.text[logged_chars] = '\0';
    logged.size = size;
    logged.align = align;
    logged.colour = colour;
    logged.x = x;
    logged.y = y;
    logged.start_x = start;
    logged.end_x = pen;
    if (kept)
        lcd_text_log.count++;
    else
        lcd_text_log.dropped++;
}
