#include "scenario/lcd_art.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "gfx/lcd.h"
#include "host/palette.h"
#include "screens/framework.h"

namespace {

constexpr int CUBE_FIRST = 16;    // the 6 x 6 x 6 colour cube: 16 + 36 r + 6 g + b
constexpr int GREY_FIRST = 232;   // the grey ramp: 8 + 10 i, i = 0..23
constexpr int GREY_STEPS = 24;
constexpr int CUBE_LEVELS[6] = {0, 95, 135, 175, 215, 255};
// A terminal's upper half block, U+2580.
constexpr const char* UPPER_HALF = "\xE2\x96\x80";
constexpr const char* RESET = "\x1B[0m";
// How far round a cell plain lines look to tell a string's strokes from what
// they are drawn on: this many cells each side, both rows of each.
constexpr int NEIGHBOURHOOD = 1;

int squared_distance(uint32_t rgb, int r, int g, int b)
{
    const int dr = int(rgb >> 16 & 0xFF) - r, dg = int(rgb >> 8 & 0xFF) - g, db = int(rgb & 0xFF) - b;
    return dr * dr + dg * dg + db * db;
}

uint8_t nearest_terminal_colour(uint32_t rgb)
{
    int best = CUBE_FIRST, best_distance = 1 << 30;
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 6; g++)
            for (int b = 0; b < 6; b++) {
                const int d = squared_distance(rgb, CUBE_LEVELS[r], CUBE_LEVELS[g], CUBE_LEVELS[b]);
                if (d < best_distance)
                    best = CUBE_FIRST + 36 * r + 6 * g + b, best_distance = d;
            }
    for (int i = 0; i < GREY_STEPS; i++) {
        const int level = 8 + 10 * i;
        const int d = squared_distance(rgb, level, level, level);
        if (d < best_distance)
            best = GREY_FIRST + i, best_distance = d;
    }
    return uint8_t(best);
}

const std::array<uint8_t, 256>& terminal_colours()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; i++)
            t[size_t(i)] = nearest_terminal_colour(lcd_palette[i]);
        return t;
    }();
    return table;
}

uint8_t pixel(const uint8_t* frame, int x, int y)
{
    return frame[y * LCD_WIDTH + x];
}

// Of a cell's two colours, the one its neighbourhood has fewer of: the ink of
// a string's stroke rather than the box or background it is drawn on.
uint8_t rarer_colour(const uint8_t* frame, int x, int row, uint8_t upper, uint8_t lower)
{
    int upper_count = 0, lower_count = 0;
    for (int nx = x - NEIGHBOURHOOD; nx <= x + NEIGHBOURHOOD; nx++)
        for (int ny = 2 * (row - NEIGHBOURHOOD); ny < 2 * (row + NEIGHBOURHOOD + 1); ny++) {
            if (nx < 0 || nx >= LCD_WIDTH || ny < 0 || ny >= LCD_HEIGHT)
                continue;
            const uint8_t c = pixel(frame, nx, ny);
            upper_count += c == upper;
            lower_count += c == lower;
        }
    return lower_count < upper_count ? lower : upper;
}

}  // namespace

uint8_t terminal_colour(uint8_t colour)
{
    return terminal_colours()[colour];
}

char lcd_art_character(uint8_t colour)
{
    switch (colour) {
    case COLOUR_BACKGROUND: return ' ';
    case COLOUR_TEXT: return '#';
    case COLOUR_HIGHLIGHT: return '=';
    case COLOUR_CAPTION: return '+';
    case COLOUR_CAUTION: return '%';
    case COLOUR_INDICATOR: return '*';
    default: return 'o';
    }
}

std::string lcd_art_line(const uint8_t* frame, int row, lcd_art_style style)
{
    std::string line;
    int shown_upper = -1, shown_lower = -1;
    for (int x = 0; x < LCD_WIDTH; x++) {
        const uint8_t upper = pixel(frame, x, 2 * row), lower = pixel(frame, x, 2 * row + 1);
        if (style == lcd_art_style::plain) {
            line += lcd_art_character(upper == lower ? upper : rarer_colour(frame, x, row, upper, lower));
            continue;
        }
        const int ink = terminal_colour(upper), paper = terminal_colour(lower);
        if (ink != shown_upper || paper != shown_lower) {
            char set[32];
            snprintf(set, sizeof set, "\x1B[38;5;%d;48;5;%dm", ink, paper);
            line += set;
            shown_upper = ink, shown_lower = paper;
        }
        line += UPPER_HALF;
    }
    if (style == lcd_art_style::colour)
        line += RESET;
    return line;
}

lcd_art_style lcd_art_style_for(int file_descriptor)
{
    const char* no_colour = getenv("NO_COLOR");
    const bool colour = isatty(file_descriptor) == 1 && (no_colour == nullptr || no_colour[0] == '\0');
    return colour ? lcd_art_style::colour : lcd_art_style::plain;
}
