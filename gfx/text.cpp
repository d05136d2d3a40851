// The text renderer: proportional bitmap glyphs from the font records, set
// bits only, through lcd_set_pixel.
#include "gfx/text.h"

#include "core/state.h"
#include "gfx/fonts.h"
#include "gfx/lcd.h"

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
    uint16_t pen = start;
    for (const char* p = text; *p; ++p) {
        const uint8_t* e = glyph_entry(font, (uint8_t)*p);
        if (!e) continue;
        uint8_t width = e[1];
        const uint8_t* image = font + (((uint32_t)e[0] << 16) | ((uint32_t)e[3] << 8) | e[2]);
        for (uint8_t r = 0; r < height; ++r) {
            for (uint8_t b = 0; 8 * b < width; ++b) {
                uint8_t bits = *image++;
                for (uint8_t k = 0; k < 8; ++k)
                    if (bits & (0x80 >> k))
                        lcd_set_pixel((uint16_t)(pen + 8 * b + k), (uint16_t)(y + r), colour);
            }
        }
        pen = (uint16_t)(pen + width + 1);
    }
    st.text_end_x = pen;
}
