#include "host/palette.h"

namespace {

// Built once at compile time: 16 basic colours, a 14 x 5 x 3 colour cube
// without black and white, a grey ramp, eight pale reds, and black fill.
struct palette_table {
    uint32_t entry[256];
    constexpr palette_table() : entry{}
    {
        const uint32_t basic[16] = {0x000000, 0xA52A2A, 0x008000, 0x504000, 0x000080, 0x500080,
                                    0x008080, 0x555555, 0xAAAAAA, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        for (int i = 0; i < 16; i++)
            entry[i] = basic[i];
        const uint32_t red[14] = {0x00, 0x14, 0x28, 0x3C, 0x50, 0x64, 0x78,
                                  0x8C, 0xA0, 0xB4, 0xC8, 0xDC, 0xF0, 0xFF};
        const uint32_t green[5] = {0x00, 0x40, 0x80, 0xC0, 0xFF};
        const uint32_t blue[3] = {0x00, 0x80, 0xFF};
        for (int r = 0; r < 14; r++)
            for (int g = 0; g < 5; g++)
                for (int b = 0; b < 3; b++) {
                    int n = 15 * r + 3 * g + b;
                    if (n >= 1 && n <= 208)
                        entry[15 + n] = red[r] << 16 | green[g] << 8 | blue[b];
                }
        for (int i = 0; i < 14; i++) {
            uint32_t v = 0x20 + 0x10 * i;
            entry[224 + i] = v << 16 | v << 8 | v;
        }
        const uint32_t pale[8] = {0xC89696, 0xD3A5A5, 0xD9B3B3, 0xE5C2C2,
                                  0xEFD5D5, 0xF7E7E7, 0xF5FAFA, 0xFCFDFD};
        for (int i = 0; i < 8; i++)
            entry[238 + i] = pale[i];
        // 246..255 are never drawn: black, so presentation skips them too.
    }
};

constexpr palette_table table;

}  // namespace

const uint32_t lcd_palette[256] = {
#define E(i) table.entry[i]
#define ROW(b) E(b), E(b + 1), E(b + 2), E(b + 3), E(b + 4), E(b + 5), E(b + 6), E(b + 7)
    ROW(0),   ROW(8),   ROW(16),  ROW(24),  ROW(32),  ROW(40),  ROW(48),  ROW(56),
    ROW(64),  ROW(72),  ROW(80),  ROW(88),  ROW(96),  ROW(104), ROW(112), ROW(120),
    ROW(128), ROW(136), ROW(144), ROW(152), ROW(160), ROW(168), ROW(176), ROW(184),
    ROW(192), ROW(200), ROW(208), ROW(216), ROW(224), ROW(232), ROW(240), ROW(248),
#undef ROW
#undef E
};
