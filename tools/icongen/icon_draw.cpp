// ktr7-icondraw: draws first drafts of the icon artwork from simple shapes and
// writes them as text pixel maps.
//
//   ktr7-icondraw OUTPUT_DIR [NAME...]
//
// The pixel maps in art/ are the editable source of the icons; this helper
// only saves drawing circles and arcs by hand. Running it over art/ replaces
// the named maps (all of them if no name is given), so hand edits made to a
// map since must be redone or the map left out.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "icon_list.h"

namespace {

constexpr int N = ICON_SIZE;
using layer = uint8_t[N][N];

layer canvas;  // palette indices
layer mask;    // 0 or 1, for shapes that get an outline

// Pixel (x, y) covers [x, x+1) x [y, y+1); shapes are tested at its centre.
// Clock angles: 0 at twelve o'clock, growing clockwise, in degrees.
double clock_x(double cx, double r, double a) { return cx + r * sin(a * M_PI / 180); }
double clock_y(double cy, double r, double a) { return cy - r * cos(a * M_PI / 180); }

template <typename Inside>
void paint(layer& l, uint8_t c, Inside inside)
{
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++)
            if (inside(x + 0.5, y + 0.5))
                l[y][x] = c;
}

void disc(layer& l, double cx, double cy, double r, uint8_t c)
{
    paint(l, c, [=](double x, double y) { return hypot(x - cx, y - cy) <= r; });
}

void ring(layer& l, double cx, double cy, double r0, double r1, uint8_t c)
{
    paint(l, c, [=](double x, double y) {
        double d = hypot(x - cx, y - cy);
        return d >= r0 && d <= r1;
    });
}

bool angle_within(double a, double a0, double a1)
{
    a = fmod(a + 720, 360), a0 = fmod(a0 + 720, 360), a1 = fmod(a1 + 720, 360);
    return a0 <= a1 ? (a >= a0 && a <= a1) : (a >= a0 || a <= a1);
}

// Part of a ring from clock angle a0 clockwise to a1.
void band(layer& l, double cx, double cy, double r0, double r1, double a0, double a1, uint8_t c)
{
    paint(l, c, [=](double x, double y) {
        double d = hypot(x - cx, y - cy);
        double a = atan2(x - cx, cy - y) * 180 / M_PI;
        return d >= r0 && d <= r1 && angle_within(a, a0, a1);
    });
}

double segment_distance(double x, double y, double x0, double y0, double x1, double y1)
{
    double dx = x1 - x0, dy = y1 - y0;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}

// A stroke of width w with round ends.
void stroke(layer& l, double x0, double y0, double x1, double y1, double w, uint8_t c)
{
    paint(l, c, [=](double x, double y) { return segment_distance(x, y, x0, y0, x1, y1) <= w / 2; });
}

// A hand or pointer from the centre outwards, tapering from w0 to w1.
void tapered(layer& l, double x0, double y0, double x1, double y1, double w0, double w1, uint8_t c)
{
    paint(l, c, [=](double x, double y) {
        double dx = x1 - x0, dy = y1 - y0;
        double len2 = dx * dx + dy * dy;
        double t = ((x - x0) * dx + (y - y0) * dy) / len2;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        double w = w0 + (w1 - w0) * t;
        return hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2;
    });
}

void polygon(layer& l, const double* xy, int points, uint8_t c)
{
    paint(l, c, [=](double x, double y) {
        bool in = false;
        for (int i = 0, j = points - 1; i < points; j = i++) {
            double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    });
}

void rect(layer& l, int x0, int y0, int x1, int y1, uint8_t c)
{
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (x >= 0 && x < N && y >= 0 && y < N)
                l[y][x] = c;
}

void frame(layer& l, int x0, int y0, int x1, int y1, uint8_t c)
{
    rect(l, x0, y0, x1, y0, c);
    rect(l, x0, y1, x1, y1, c);
    rect(l, x0, y0, x0, y1, c);
    rect(l, x1, y0, x1, y1, c);
}

// Puts the mask on the canvas in colour fill, ringed by a 1-pixel outline.
void stamp_outlined(uint8_t fill, uint8_t outline)
{
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            if (mask[y][x]) {
                canvas[y][x] = fill;
                continue;
            }
            bool near = false;
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) {
                    int u = x + dx, v = y + dy;
                    if (u >= 0 && u < N && v >= 0 && v < N && mask[v][u])
                        near = true;
                }
            if (near)
                canvas[y][x] = outline;
        }
}

// 3 x 5 digits, rows top to bottom, bit 2 the left column.
const uint8_t DIGITS_3X5[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void digit_3x5(int x, int y, int d, uint8_t c)
{
    for (int r = 0; r < 5; r++)
        for (int k = 0; k < 3; k++)
            if (DIGITS_3X5[d][r] & (4 >> k))
                canvas[y + r][x + k] = c;
}

// Seven-segment digit with 2-pixel strokes, 6 wide and 11 high.
void digit_7seg(int x, int y, int d, uint8_t c)
{
    static const uint8_t SEGMENTS[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    uint8_t s = SEGMENTS[d];
    if (s & 0x01) rect(canvas, x, y, x + 5, y + 1, c);            // a: top
    if (s & 0x02) rect(canvas, x + 4, y, x + 5, y + 5, c);        // b: upper right
    if (s & 0x04) rect(canvas, x + 4, y + 5, x + 5, y + 10, c);   // c: lower right
    if (s & 0x08) rect(canvas, x, y + 9, x + 5, y + 10, c);       // d: bottom
    if (s & 0x10) rect(canvas, x, y + 5, x + 1, y + 10, c);       // e: lower left
    if (s & 0x20) rect(canvas, x, y, x + 1, y + 5, c);            // f: upper left
    if (s & 0x40) rect(canvas, x, y + 4, x + 5, y + 5, c);        // g: middle
}

// ---------------------------------------------------------------- the icons

constexpr uint8_t BLACK = 0, DARK_GREY = 7, LIGHT_GREY = 8, RED = 9, GREEN = 10, YELLOW = 11,
                  MAGENTA = 13, WHITE = 15;

void dial_ring(uint8_t c)
{
    ring(canvas, 25, 25, 22.6, 24.8, c);
}

void draw_exclamation()
{
    dial_ring(WHITE);
    const double bar[] = {21.2, 11, 28.8, 11, 26.9, 30.5, 23.1, 30.5};
    polygon(mask, bar, 4, 1);
    disc(mask, 25, 11, 3.8, 1);
    disc(mask, 25, 37.5, 3.6, 1);
    stamp_outlined(RED, WHITE);
}

// A question mark's hook, stem and dot at the given scale, into l; small
// ones need their dot dropped a little to keep it apart from the stem.
void question_mark(layer& l, double cx, double cy, double s, double dot_drop, uint8_t c)
{
    double r = 7.5 * s, w = 5.6 * s;
    band(l, cx, cy, r - w / 2, r + w / 2, 275, 135, c);
    disc(l, clock_x(cx, r, 275), clock_y(cy, r, 275), w / 2, c);
    double ex = clock_x(cx, r, 135), ey = clock_y(cy, r, 135);
    stroke(l, ex, ey, cx + 0.2 * s, cy + 10.5 * s, w, c);
    stroke(l, cx + 0.2 * s, cy + 10.5 * s, cx, cy + 12.5 * s, w, c);
    disc(l, cx, cy + 19.5 * s + dot_drop, 3.4 * s, c);
}

void draw_question()
{
    dial_ring(WHITE);
    question_mark(mask, 25, 17.5, 1.0, 0, 1);
    stamp_outlined(RED, WHITE);
}

void draw_alt_setup()
{
    dial_ring(WHITE);
    for (int i = 0; i < 10; i++) {
        double a = i * 36;
        stroke(canvas, clock_x(25, 17.5, a), clock_y(25, 17.5, a), clock_x(25, 21, a),
               clock_y(25, 21, a), 2.2, WHITE);
        double m = a + 18;
        stroke(canvas, clock_x(25, 19.8, m), clock_y(25, 19.8, m), clock_x(25, 21, m),
               clock_y(25, 21, m), 1.2, WHITE);
    }
    // Counter window in the lower half of the dial.
    frame(canvas, 17, 31, 33, 39, WHITE);
    rect(canvas, 18, 32, 32, 38, BLACK);
    digit_3x5(19, 33, 1, WHITE);
    digit_3x5(23, 33, 2, WHITE);
    digit_3x5(27, 33, 5, WHITE);
    // Hands: short wide thousands hand, long slim hundreds hand.
    tapered(mask, 25, 25, clock_x(25, 11, 300), clock_y(25, 11, 300), 5, 2.5, 1);
    tapered(mask, 25, 25, clock_x(25, 17, 50), clock_y(25, 17, 50), 3.6, 1.6, 1);
    stamp_outlined(DARK_GREY, WHITE);
    disc(canvas, 25, 25, 1.9, WHITE);
}

void draw_vsi_setup()
{
    // The scale: a vertical line with ticks to its left, zero in the middle.
    rect(canvas, 12, 4, 13, 45, WHITE);
    for (int y = 5; y <= 45; y += 5) {
        bool major = (y - 5) % 10 == 0;
        rect(canvas, major ? 5 : 8, y - (major ? 1 : 0), 11, y, WHITE);
    }
    // The rate bar in segments, rising from zero.
    for (int bottom = 24; bottom > 5; bottom -= 4)
        rect(canvas, 15, bottom - 2, 21, bottom, MAGENTA);
    // The readout box with its pointer to the scale.
    frame(canvas, 28, 17, 47, 33, WHITE);
    frame(canvas, 29, 18, 46, 32, WHITE);
    const double tip[] = {23.5, 25, 28, 20.5, 28, 29.5};
    polygon(canvas, tip, 3, WHITE);
    digit_7seg(31, 20, 1, WHITE);
    digit_7seg(39, 20, 5, WHITE);
}

void draw_asi_setup()
{
    dial_ring(WHITE);
    band(canvas, 25, 25, 17, 21.2, 205, 35, GREEN);
    band(canvas, 25, 25, 17, 21.2, 35, 92, YELLOW);
    band(canvas, 25, 25, 17, 21.2, 92, 125, RED);
    for (int a = 150; a <= 390; a += 30) {
        stroke(canvas, clock_x(25, 12.5, a), clock_y(25, 12.5, a), clock_x(25, 15, a),
               clock_y(25, 15, a), 1.6, WHITE);
    }
    tapered(canvas, 25, 25, clock_x(25, 19, 318), clock_y(25, 19, 318), 4, 1.4, WHITE);
    tapered(canvas, 25, 25, clock_x(25, 6, 138), clock_y(25, 6, 138), 4, 3, WHITE);
    disc(canvas, 25, 25, 3, WHITE);
    disc(canvas, 25, 25, 1.2, BLACK);
}

void draw_timers_setup()
{
    const double cx = 25, cy = 28;
    // Bells: domes above the face, the hammer between them, two feet.
    for (double a : {-42.0, 42.0}) {
        double bx = clock_x(cx, 19.5, a), by = clock_y(cy, 19.5, a);
        paint(canvas, LIGHT_GREY, [=](double x, double y) {
            return hypot(x - bx, y - by) <= 7 && hypot(x - cx, y - cy) >= 19;
        });
    }
    rect(canvas, 24, 6, 25, 10, LIGHT_GREY);
    rect(canvas, 21, 5, 28, 6, LIGHT_GREY);
    for (double a : {-142.0, 142.0})
        stroke(canvas, clock_x(cx, 17, a), clock_y(cy, 17, a), clock_x(cx, 21.5, a),
               clock_y(cy, 21.5, a), 2.6, LIGHT_GREY);
    // The face with hour marks.
    ring(canvas, cx, cy, 15.4, 17.8, WHITE);
    for (int h = 0; h < 12; h++) {
        double a = h * 30;
        bool quarter = h % 3 == 0;
        stroke(canvas, clock_x(cx, quarter ? 11 : 12.6, a), clock_y(cy, quarter ? 11 : 12.6, a),
               clock_x(cx, 13.6, a), clock_y(cy, 13.6, a), quarter ? 2 : 1.2, WHITE);
    }
    // Hands at ten past ten.
    tapered(canvas, cx, cy, clock_x(cx, 8, 300), clock_y(cy, 8, 300), 3.4, 2.2, YELLOW);
    tapered(canvas, cx, cy, clock_x(cx, 11.5, 60), clock_y(cy, 11.5, 60), 3, 1.6, YELLOW);
    disc(canvas, cx, cy, 2.2, YELLOW);
}

void draw_misc_setup()
{
    // Top left: question mark.
    question_mark(canvas, 12.5, 7.5, 0.62, 1.3, RED);
    // Top right: sun.
    disc(canvas, 37.5, 12.5, 5, YELLOW);
    for (int a = 0; a < 360; a += 45)
        stroke(canvas, clock_x(37.5, 7.6, a), clock_y(12.5, 7.6, a), clock_x(37.5, 10.2, a),
               clock_y(12.5, 10.2, a), 2, YELLOW);
    // Bottom left: padlock.
    band(canvas, 12.5, 34, 3.4, 5.6, 270, 90, LIGHT_GREY);
    rect(canvas, 7, 34, 8, 36, LIGHT_GREY);
    rect(canvas, 16, 34, 17, 36, LIGHT_GREY);
    rect(canvas, 5, 36, 19, 46, LIGHT_GREY);
    rect(canvas, 5, 44, 19, 46, DARK_GREY);
    disc(canvas, 12.5, 39.5, 1.7, DARK_GREY);
    rect(canvas, 12, 40, 12, 43, DARK_GREY);
    // Bottom right: information ring.
    ring(canvas, 37.5, 37.5, 8, 10.4, GREEN);
    rect(canvas, 36, 32, 38, 33, GREEN);
    rect(canvas, 36, 35, 38, 42, GREEN);
}

void draw_adc_values()
{
    // The check-shaped trace: a short fall in yellow, the long rise in red.
    stroke(canvas, 3, 13, 9, 13, 3, YELLOW);
    stroke(canvas, 9, 13, 17, 23, 3, YELLOW);
    stroke(canvas, 17.5, 23, 31, 5, 3, RED);
    stroke(canvas, 31, 5, 46, 5, 3, RED);
    // The square wave below.
    bool high = true;
    for (int x = 3; x < 46; x += 6) {
        int end = x + 6 < 46 ? x + 6 : 46;
        int y = high ? 32 : 44;
        rect(canvas, x, y, end + 1, y + 1, GREEN);
        if (end < 46)
            rect(canvas, end, 32, end + 1, 45, GREEN);
        high = !high;
    }
}

struct drawing {
    const char* name;
    void (*draw)();
};
const drawing DRAWINGS[] = {
    {"icon_exclamation", draw_exclamation}, {"icon_question", draw_question},
    {"icon_alt_setup", draw_alt_setup},     {"icon_vsi_setup", draw_vsi_setup},
    {"icon_asi_setup", draw_asi_setup},     {"icon_timers_setup", draw_timers_setup},
    {"icon_misc_setup", draw_misc_setup},   {"icon_adc_values", draw_adc_values},
};

bool write_map(const std::string& path, const icon_entry& icon)
{
    FILE* f = fopen(path.c_str(), "w");
    if (!f)
        return false;
    fprintf(f, "# %s: %s\n", icon.name, icon.shows);
    fprintf(f, "# 50 x 50, one character per pixel. Legend:");
    for (char s : std::string(icon.indices))
        for (const legend_entry& e : LEGEND)
            if (e.symbol == s)
                fprintf(f, "  %c %u %s", e.symbol, e.index, e.colour);
    fprintf(f, "\n");
    for (int y = 0; y < N; y++) {
        for (int x = 0; x < N; x++)
            fputc(legend_symbol(canvas[y][x]), f);
        fputc('\n', f);
    }
    return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s OUTPUT_DIR [NAME...]\n", argv[0]);
        return 2;
    }
    for (int i = 0; i < ICON_COUNT; i++) {
        bool wanted = argc == 2;
        for (int a = 2; a < argc; a++)
            wanted |= strcmp(argv[a], ICONS[i].name) == 0;
        if (!wanted)
            continue;
        memset(canvas, 0, sizeof canvas);
        memset(mask, 0, sizeof mask);
        for (const drawing& d : DRAWINGS)
            if (strcmp(d.name, ICONS[i].name) == 0)
                d.draw();
        std::string path = std::string(argv[1]) + "/" + ICONS[i].file;
        if (!write_map(path, ICONS[i])) {
            fprintf(stderr, "%s: cannot write\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
