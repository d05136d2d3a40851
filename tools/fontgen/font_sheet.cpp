// font_sheet: writes a PNG sheet of every glyph of the nine fonts at 4x, white
// on black as on the LCD, followed by sample LCD frames drawn with draw_text.
//
//   font_sheet [--width PIXELS] [--scale N] OUT.png [SIZE_CODE ... | samples]
//
// Each glyph cell is shaded dark grey so its width shows; faint blue lines mark
// the cap line and the baseline, a faint green one the x-height.

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"

namespace {

int SCALE = 4;
int SHEET_WIDTH = 2400;

struct Rows {
    uint8_t size;
    int cap_top, baseline, x_top;
};
const Rows ROWS[] = {{8, 3, 12, 5},  {9, 3, 14, 6},  {10, 4, 17, 7},  {12, 4, 18, 8},  {16, 6, 25, 11},
                     {20, 7, 31, -1}, {24, 9, 39, -1}, {30, 11, 48, -1}, {34, 13, 56, -1}};

struct Sheet {
    int w, h;
    std::vector<uint32_t> px;
    Sheet(int width, int height) : w(width), h(height), px((size_t)width * height, 0) {}
    void dot(int x, int y, uint32_t c)
    {
        if (x >= 0 && x < w && y >= 0 && y < h) px[(size_t)y * w + x] = c;
    }
    void block(int x, int y, uint32_t c)  // one glyph pixel at SCALE
    {
        for (int j = 0; j < SCALE; ++j)
            for (int i = 0; i < SCALE; ++i) dot(x * SCALE + i, y * SCALE + j, c);
    }
};

uint16_t u16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }

// Draws one glyph cell with its top left at sheet pixel (sx, sy).
void glyph(Sheet& s, const uint8_t* font, int c, int sx, int sy, const Rows& rows, uint32_t ink)
{
    const uint8_t* e = font + 8 + 4 * (c - u16(font + 2));
    int width = e[1], height = font[7];
    const uint8_t* image = font + ((e[0] << 16) | (e[3] << 8) | e[2]);
    for (int y = 0; y < height; ++y) {
        uint32_t back = 0x1C1C1C;
        if (y == rows.cap_top || y == rows.baseline) back = 0x1C1C48;
        if (y == rows.x_top) back = 0x1C401C;
        for (int x = 0; x < width; ++x)
            for (int j = 0; j < SCALE; ++j)
                for (int i = 0; i < SCALE; ++i)
                    s.dot(sx + x * SCALE + i, sy + y * SCALE + j, (j == SCALE - 1 || i == SCALE - 1) ? 0 : back);
        for (int x = 0; x < width; ++x) {
            int bit = (image[y * ((width + 7) / 8) + x / 8] >> (7 - x % 8)) & 1;
            if (bit)
                for (int j = 0; j < SCALE; ++j)
                    for (int i = 0; i < SCALE; ++i) s.dot(sx + x * SCALE + i, sy + y * SCALE + j, ink);
        }
    }
}

// Lays out one font; returns the height it used (dry run when s is null).
int font_block(Sheet* s, const Rows& rows, int top)
{
    const uint8_t* font = font_for_size(rows.size);
    int first = u16(font + 2), last = u16(font + 4), height = font[7];
    const uint8_t* small = font_for_size(8);
    int x = 0, y = top;
    // Caption in font_8 at 2x.
    char caption[32];
    std::snprintf(caption, sizeof caption, "SIZE %u", rows.size);
    if (s) {
        int cx = 8;
        for (const char* p = caption; *p; ++p) {
            const uint8_t* e = small + 8 + 4 * (uint8_t)*p;
            const uint8_t* image = small + ((e[0] << 16) | (e[3] << 8) | e[2]);
            for (int gy = 0; gy < 16; ++gy)
                for (int gx = 0; gx < e[1]; ++gx)
                    if ((image[gy * ((e[1] + 7) / 8) + gx / 8] >> (7 - gx % 8)) & 1)
                        for (int j = 0; j < 2; ++j)
                            for (int i = 0; i < 2; ++i) s->dot(cx + gx * 2 + i, y + gy * 2 + j, 0xB0B0B0);
            cx += (e[1] + 1) * 2;
        }
    }
    y += 36;
    for (int c = first; c <= last; ++c) {
        int width = font[8 + 4 * (c - first) + 1];
        int cell = (width + 2) * SCALE;
        if (x + cell > SHEET_WIDTH) x = 0, y += (height + 2) * SCALE;
        if (s) glyph(*s, font, c, x + SCALE, y, rows, 0xFFFFFF);
        x += cell;
    }
    y += (height + 2) * SCALE + 16;
    return y - top;
}

// Sample frames: the renderer itself, with its alignments and mixed sizes.
void sample_frame(int which)
{
    lcd_clear();
    if (which == 0) {
        draw_text(80, 0, "MAIN MENU", 0, 12, ALIGN_CENTRE, 9);
        lcd_hline(0, 159, 25, 9);
        draw_text(4, 28, "ALT SETUP", 0, 10, ALIGN_LEFT, 15);
        draw_text(4, 52, "Vne: ", 0, 9, ALIGN_LEFT, 15);
        uint16_t after = st.text_end_x;
        draw_text(after, 52, "250", 0, 9, ALIGN_LEFT, 15);
        lcd_frame(after - 2, 52, st.text_end_x, 71, 9);
        draw_text(156, 52, "km/h", 0, 9, ALIGN_RIGHT, 229);
        draw_text(4, 74, "TEMP 21.5\xB0" "C  75%", 0, 8, ALIGN_LEFT, 15);
        draw_text(4, 90, "gjpqy Quick fox", 0, 8, ALIGN_LEFT, 15);
        draw_text(4, 108, "\x12\x10\x13\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0E\x0F\x1B \xC4\xF6\xDF\x80", 0, 8,
                  ALIGN_LEFT, 15);
    } else {
        draw_text(158, 0, "12340", 0, 24, ALIGN_RIGHT, 15);
        draw_text(2, 8, "ft", 0, 9, ALIGN_LEFT, 229);
        draw_text(2, 50, "-1250", 0, 20, ALIGN_LEFT, 10);
        draw_text(st.text_end_x + 2, 70, "fpm", 0, 9, ALIGN_LEFT, 229);
        draw_text(80, 90, "QNH 1013 mB", 0, 12, ALIGN_CENTRE, 11);
        draw_text(80, 112, "01:23   187 km/h", 0, 8, ALIGN_CENTRE, 15);
    }
}

uint32_t palette_colour(uint8_t index)
{
    switch (index) {
    case 0: return 0x000000;
    case 9: return 0xFF3030;
    case 10: return 0x30E030;
    case 11: return 0xFFE030;
    case 15: return 0xFFFFFF;
    case 229: return 0xA0A0A0;
    default: return 0x808080;
    }
}

bool write_png(const char* path, const Sheet& s)
{
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, s.w, s.h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row((size_t)s.w * 3);
    for (int y = 0; y < s.h; ++y) {
        for (int x = 0; x < s.w; ++x) {
            uint32_t c = s.px[(size_t)y * s.w + x];
            row[x * 3] = (uint8_t)(c >> 16), row[x * 3 + 1] = (uint8_t)(c >> 8), row[x * 3 + 2] = (uint8_t)c;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && !std::strcmp(argv[1], "--width")) {
        SHEET_WIDTH = std::max(LCD_WIDTH * SCALE * 2 + 32, std::atoi(argv[2]));
        argv += 2, argc -= 2;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "--scale")) {
        SCALE = std::clamp(std::atoi(argv[2]), 1, 16);
        argv += 2, argc -= 2;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: font_sheet [--width PIXELS] [--scale N] OUT.png [SIZE_CODE ...]\n");
        return 2;
    }
    std::vector<Rows> chosen;
    for (int i = 2; i < argc; ++i)
        for (const Rows& r : ROWS)
            if (r.size == std::atoi(argv[i])) chosen.push_back(r);
    bool only_samples = argc > 2 && !std::strcmp(argv[2], "samples");
    bool samples = chosen.empty();
    if (samples && !only_samples) chosen.assign(std::begin(ROWS), std::end(ROWS));

    int height = 8;
    for (const Rows& r : chosen) height += font_block(nullptr, r, 0);
    int frame_h = LCD_HEIGHT * SCALE + 16;
    if (samples) height += frame_h;
    Sheet s(SHEET_WIDTH, height);
    int y = 8;
    for (const Rows& r : chosen) y += font_block(&s, r, y);
    if (samples) {
        for (int which = 0; which < 2; ++which) {
            sample_frame(which);
            int ox = which * (LCD_WIDTH * SCALE + 32);
            for (int py = 0; py < LCD_HEIGHT; ++py)
                for (int px = 0; px < LCD_WIDTH; ++px)
                    for (int j = 0; j < SCALE; ++j)
                        for (int i = 0; i < SCALE; ++i)
                            s.dot(ox + px * SCALE + i, y + py * SCALE + j,
                                  palette_colour(lcd_buffer[py * LCD_WIDTH + px]));
            for (int py = -1; py <= LCD_HEIGHT * SCALE; ++py) {
                s.dot(ox + LCD_WIDTH * SCALE, y + py, 0x404040);
            }
        }
    }
    if (!write_png(argv[1], s)) {
        std::fprintf(stderr, "font_sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
