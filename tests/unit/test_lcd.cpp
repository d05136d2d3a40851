// Frame buffer, clipping and the drawing primitives.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "screen_harness.h"

namespace {

using namespace screen_test;
using point = std::pair<int, int>;

std::vector<point> lit_pixels()
{
    std::vector<point> out;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++)
            if (lcd_buffer[y * LCD_WIDTH + x])
                out.push_back({x, y});
    return out;
}

class Lcd : public ::testing::Test {
protected:
    void SetUp() override
    {
        lcd_clear();
        init_trig_tables();
    }
};

TEST_F(Lcd, SetPixelClipsAtTheEdges)
{
    struct { uint16_t x, y; bool written; } cases[] = {
        {0, 0, true}, {159, 127, true}, {160, 0, false}, {0, 128, false}, {65535, 5, false}, {5, 65535, false},
        {65535, 65535, false},
    };
    for (auto& c : cases) {
        lcd_clear();
        lcd_set_pixel(c.x, c.y, 15);
        EXPECT_EQ(lit_anywhere(), c.written ? 1 : 0) << c.x << "," << c.y;
        if (c.written) {
            EXPECT_EQ(px(c.x, c.y), 15);
        }
    }
    lcd_set_pixel(159, 127, 9);
    EXPECT_EQ(lcd_buffer[20479], 9);
}

TEST_F(Lcd, SpansAreInclusiveAndClipped)
{
    lcd_hline(5, 5, 10, 15);
    EXPECT_EQ(lit_pixels(), (std::vector<point>{{5, 10}}));

    lcd_clear();
    lcd_hline(6, 5, 10, 15);
    EXPECT_EQ(lit_anywhere(), 0);

    lcd_clear();
    lcd_hline(150, 200, 10, 15);
    auto lit = lit_pixels();
    ASSERT_EQ(lit.size(), 10u);
    EXPECT_EQ(lit.front(), point(150, 10));
    EXPECT_EQ(lit.back(), point(159, 10));

    lcd_clear();
    lcd_hline(0, 65535, 3, 15);  // must terminate
    EXPECT_EQ(lit_anywhere(), 160);
    lcd_clear();
    lcd_vline(0, 65535, 3, 15);
    EXPECT_EQ(lit_anywhere(), 128);
    lcd_clear();
    lcd_vline(10, 12, 200, 15);
    lcd_hline(10, 12, 128, 15);
    EXPECT_EQ(lit_anywhere(), 0);
    lcd_vline(12, 10, 5, 15);
    EXPECT_EQ(lit_anywhere(), 0);
}

TEST_F(Lcd, BresenhamPlotsFromStartToEnd)
{
    struct { uint16_t x0, y0, x1, y1; std::vector<point> expected; } cases[] = {
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
        // With err exactly zero the minor coordinate stays: the middle pixel
        // depends on the direction.
        {4, 1, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
        {0, 0, 4, 4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}}, {7, 7, 7, 7, {{7, 7}}},
        {2, 0, 3, 4, {{2, 0}, {2, 1}, {2, 2}, {3, 3}, {3, 4}}},
    };
    for (auto& c : cases) {
        lcd_clear();
        lcd_line(c.x0, c.y0, c.x1, c.y1, 15);
        EXPECT_EQ(lit_pixels(), c.expected) << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
    }
}

TEST_F(Lcd, LinesAlwaysEndOnTheEndPointWithMaxDeltaPlusOnePoints)
{
    const uint16_t ends[][4] = {{10, 5, 150, 90}, {150, 90, 10, 5}, {0, 127, 159, 0},
                                {30, 100, 31, 2},  {31, 2, 30, 100}, {80, 64, 20, 64}};
    for (auto& e : ends) {
        lcd_clear();
        lcd_line(e[0], e[1], e[2], e[3], 15);
        int dx = std::abs(int(e[2]) - int(e[0])), dy = std::abs(int(e[3]) - int(e[1]));
        EXPECT_EQ(lit_anywhere(), std::max(dx, dy) + 1);
        EXPECT_EQ(px(e[2], e[3]), 15);
        EXPECT_EQ(px(e[0], e[1]), 15);
    }
}

TEST_F(Lcd, LinesRunningOffScreenAreClipped)
{
    lcd_line(200, 3, 150, 3, 15);
    EXPECT_EQ(lit_anywhere(), 10);
    lcd_clear();
    // A span of 32768 or more cannot be counted in 16 bits: nothing is drawn.
    lcd_line(65535, 0, 5, 0, 15);
    EXPECT_EQ(lit_anywhere(), 0);
}

TEST_F(Lcd, RectanglesOneRowHighDrawNothing)
{
    lcd_fill(10, 20, 30, 20, 15);
    lcd_frame(10, 20, 30, 20, 15);
    EXPECT_EQ(lit_anywhere(), 0);

    lcd_fill(10, 20, 30, 21, 15);
    auto lit = lit_pixels();
    EXPECT_EQ(lit.size(), 42u);
    EXPECT_EQ(lit.front(), point(10, 20));
    EXPECT_EQ(lit.back(), point(30, 21));
}

TEST_F(Lcd, FrameIsAClosedOutline)
{
    lcd_frame(16, 17, 145, 88, 15);
    for (auto [x, y] : {point(16, 17), point(145, 17), point(16, 88), point(145, 88)})
        EXPECT_EQ(px(x, y), 15);
    EXPECT_EQ(lit_anywhere(), 2 * 130 + 2 * 72 - 4);
    EXPECT_EQ(px(80, 50), 0);

    // Reversed corners: only the sides whose span still runs forwards.
    lcd_clear();
    lcd_frame(10, 30, 20, 20, 15);
    EXPECT_EQ(lit_anywhere(), 2 * 11);
    lcd_clear();
    lcd_frame(20, 20, 10, 30, 15);
    EXPECT_EQ(lit_anywhere(), 2 * 11);
}

TEST_F(Lcd, RotaryHintArc)
{
    lcd_arc(80, 132, 20, 220, 320, 15);
    EXPECT_EQ(px(65, 120), 15);  // 220 degrees
    EXPECT_EQ(px(80, 112), 15);  // 270 degrees: offset 0, not -1
    EXPECT_EQ(px(95, 119), 15);  // 319 degrees
    EXPECT_EQ(px(79, 112), 0);
    for (auto [x, y] : lit_pixels()) {
        EXPECT_GE(x, 65);
        EXPECT_LE(x, 95);
        EXPECT_GE(y, 112);
        EXPECT_LE(y, 120);
    }
    // Angle 320 itself is not plotted: its point would be (95, 120).
    EXPECT_EQ(px(95, 120), 0);
}

TEST_F(Lcd, TrigTablesHoldSinglePrecisionValues)
{
    EXPECT_EQ(deg_sin(90), 1.0f);
    EXPECT_EQ(deg_cos(0), 1.0f);
    EXPECT_EQ(deg_sin(-90), -1.0f);
    EXPECT_LT(deg_cos(270), 0.0f);
    EXPECT_GT(deg_cos(270), -1e-6f);
    EXPECT_EQ(deg_sin(30), float(sin(30 * DEG_TO_RAD)));
    EXPECT_EQ(deg_cos(-45), float(cos(-45 * DEG_TO_RAD)));
    EXPECT_EQ(sin_neg[360], float(sin(-360 * DEG_TO_RAD)));
}

TEST_F(Lcd, ClearLeavesEveryByteZero)
{
    lcd_fill(0, 0, 159, 127, 9);
    EXPECT_EQ(lit_anywhere(), 20480);
    lcd_clear();
    EXPECT_EQ(lit_anywhere(), 0);
}

}  // namespace
