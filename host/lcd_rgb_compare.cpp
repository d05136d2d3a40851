#include "host/lcd_rgb_compare.h"

#include <cstdio>

#include "gfx/lcd.h"
#include "host/palette.h"

namespace {

constexpr int RGB = 3;
constexpr int PALETTE_SIZE = 256;
constexpr uint32_t RGB_MASK = 0xFFFFFF;

uint32_t rgb_at(const uint8_t* pixels, int width, int x, int y)
{
    const uint8_t* p = pixels + (size_t(y) * size_t(width) + size_t(x)) * RGB;
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

// The lowest palette index with this colour, -1 when none has it.
int palette_index(uint32_t rgb)
{
    for (int i = 0; i < PALETTE_SIZE; i++)
        if ((lcd_palette[i] & RGB_MASK) == rgb)
            return i;
    return -1;
}

}  // namespace

bool reference_scale(int width, int height, int& scale, char* why, size_t cap)
{
    scale = width / LCD_WIDTH;
    if (width % LCD_WIDTH == 0 && height == LCD_HEIGHT * scale && scale >= 1 && scale <= REFERENCE_SCALE_MAX)
        return true;
    snprintf(why, cap, "%dx%d is no whole scale (1..%d) of the LCD's %dx%d", width, height, REFERENCE_SCALE_MAX,
             LCD_WIDTH, LCD_HEIGHT);
    return false;
}

bool compare_lcd_with_rgb(const uint8_t* lcd, const uint8_t* rgb, int width, int height, lcd_difference& out,
                          char* why, size_t cap)
{
    out = lcd_difference{};
    if (!reference_scale(width, height, out.scale, why, cap))
        return false;
    const int s = out.scale;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++) {
            const uint8_t index = lcd[y * LCD_WIDTH + x];
            const uint32_t colour = lcd_palette[index] & RGB_MASK;
            bool same = true;
            uint32_t differs_as = colour;
            for (int dy = 0; dy < s && same; dy++)
                for (int dx = 0; dx < s && same; dx++) {
                    differs_as = rgb_at(rgb, width, x * s + dx, y * s + dy);
                    same = differs_as == colour;
                }
            if (same)
                continue;
            if (out.differing++ == 0) {
                out.first_x = x;
                out.first_y = y;
                out.expected_rgb = differs_as;
                out.expected = palette_index(differs_as);
                out.got = index;
            }
        }
    return true;
}

void describe_lcd_difference(const char* path, const lcd_difference& d, const char* after, char* report, size_t cap)
{
    char expected[16];
    if (d.expected >= 0)
        snprintf(expected, sizeof expected, "%d", d.expected);
    else
        snprintf(expected, sizeof expected, "#%06X", unsigned(d.expected_rgb));
    snprintf(report, cap, "png %s: %ld pixels differ, first at %d,%d expected %s got %d; %s", path, d.differing,
             d.first_x, d.first_y, expected, d.got, after);
}
