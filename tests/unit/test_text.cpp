// The nine font records and the text renderer.
#include <sstream>
#include <tuple>

#include "gfx/fonts.h"
#include "gfx/text_log.h"
#include "screen_harness.h"

namespace {

using namespace screen_test;

// What every record must hold: its header, the widths of 0x20..0x7E (digit
// fonts 0x20..0x39) that the screen layouts depend on, its length, and the
// rows of its cell layout.
struct FontFacts {
    uint8_t size;
    const uint8_t* font;
    int height, first, last, spare, widest, length;
    int cap_top, baseline, x_top, desc_end;  // x_top / desc_end: -1 for digit fonts
    int box_width;                           // outline box at 0x7F, 0 if none
    const char* widths;
};

const FontFacts FONTS[] = {
    {8, font_8, 16, 0x00, 0xFF, 0, 14, 6712, 3, 12, 5, 15, 0,
     "4 4 6 7 8 10 10 3 4 4 5 8 4 4 4 4 8 7 8 8 8 8 8 8 8 8 4 4 8 8 8 8 "
     "14 9 10 10 10 9 9 10 9 4 8 10 9 11 10 10 8 11 10 9 8 9 9 13 9 8 9 4 4 4 8 8 "
     "4 9 8 7 9 9 6 8 9 4 4 7 4 11 9 8 8 9 7 8 5 8 7 11 8 7 7 5 3 5 8"},
    {9, font_9, 19, 0x20, 0x7F, 62, 16, 3527, 3, 14, 6, 17, 12,
     "4 4 8 9 9 16 12 4 5 5 6 9 4 5 4 4 9 9 9 9 9 9 9 9 9 9 6 6 9 9 9 10 "
     "16 11 12 12 12 11 10 12 12 4 9 12 10 13 12 12 11 12 12 11 10 12 11 15 11 10 9 5 4 5 9 9 "
     "5 9 10 9 10 9 5 10 10 4 4 9 4 14 10 10 10 10 6 9 5 10 9 13 9 9 9 6 4 6 9"},
    {10, font_10, 21, 0x00, 0xFF, 0, 21, 10776, 4, 17, 7, 20, 0,
     "5 5 9 11 11 17 14 5 6 6 7 11 5 6 5 5 11 11 11 11 11 11 11 11 11 11 7 7 11 11 11 12 "
     "19 13 14 14 14 13 12 15 13 5 11 14 12 17 13 15 13 15 13 13 13 13 13 17 13 13 11 6 5 6 11 11 "
     "6 11 12 11 12 11 6 12 12 5 5 11 5 17 12 12 12 12 8 11 6 12 11 15 11 11 10 7 4 7 11"},
    {12, font_12, 24, 0x20, 0x7F, 67, 21, 4496, 4, 18, 8, 22, 16,
     "6 7 10 12 12 17 15 5 7 7 8 12 6 7 6 6 12 12 12 12 12 12 12 12 12 12 7 7 12 12 12 13 "
     "20 15 15 15 15 14 13 16 14 5 12 15 13 17 14 16 14 16 15 14 13 14 13 21 14 13 12 7 6 7 12 12 "
     "7 12 13 12 13 12 7 13 13 5 5 12 5 19 13 13 13 13 8 12 7 13 13 15 12 11 11 8 6 8 12"},
    {16, font_16, 33, 0x20, 0x7F, 64, 27, 7817, 6, 25, 11, 31, 21,
     "8 8 13 16 16 25 20 7 9 9 11 16 8 9 8 8 16 16 16 16 16 16 16 16 16 16 10 10 16 16 16 17 "
     "27 19 19 20 20 19 17 22 20 8 15 20 17 25 20 21 18 21 20 19 18 20 19 27 19 18 17 9 8 9 16 16 "
     "9 16 17 16 17 16 9 17 17 8 8 16 8 26 17 17 17 17 11 15 9 17 15 23 16 16 14 11 7 11 16"},
    {20, font_20, 41, 0x20, 0x39, 115, 31, 2941, 7, 31, -1, -1, 0,
     "10 11 17 19 19 31 25 8 12 12 14 20 10 12 10 10 19 19 19 19 19 19 19 19 19 19"},
    {24, font_24, 51, 0x20, 0x39, 127, 39, 3835, 9, 39, -1, -1, 0,
     "12 14 20 24 24 39 31 10 14 14 17 25 12 14 12 12 24 24 24 24 24 24 24 24 24 24"},
    {30, font_30, 62, 0x20, 0x39, 96, 47, 5816, 11, 48, -1, -1, 0,
     "15 17 25 29 29 47 38 13 18 18 21 31 15 18 15 15 29 29 29 29 29 29 29 29 29 29"},
    {34, font_34, 70, 0x20, 0x39, 96, 51, 7882, 13, 56, -1, -1, 0,
     "17 18 28 33 33 51 43 14 20 20 23 35 17 20 17 17 33 33 33 33 33 33 33 33 33 33"},
};

std::vector<int> parse_widths(const char* text)
{
    std::vector<int> out;
    std::istringstream in(text);
    for (int w; in >> w;) out.push_back(w);
    return out;
}

int u16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// Reads a glyph straight from the record, independently of the renderer.
struct GlyphView {
    int width, height;
    const uint8_t* image;
    bool ink(int x, int y) const { return (image[y * ((width + 7) / 8) + x / 8] >> (7 - x % 8)) & 1; }
    // The first row with ink, searched from the top (or the bottom); -1 if none.
    int inked_row(bool from_top) const
    {
        for (int i = 0; i < height; ++i)
            for (int x = 0, y = from_top ? i : height - 1 - i; x < width; ++x)
                if (ink(x, y)) return y;
        return -1;
    }
    int top() const { return inked_row(true); }
    int bottom() const { return inked_row(false); }
    bool blank() const { return top() < 0; }
};

GlyphView glyph(const uint8_t* font, int c)
{
    const uint8_t* e = font + 8 + 4 * (c - u16(font + 2));
    uint32_t offset = (uint32_t(e[0]) << 16) | (uint32_t(e[3]) << 8) | e[2];
    return {e[1], font[7], font + offset};
}

// Where the last text started and ended.
std::pair<int, int> extent()
{
    return {st.text_start_x, st.text_end_x};
}

// A text drawn on a cleared LCD: the picture, and where it started and ended.
std::pair<std::vector<uint8_t>, std::pair<int, int>> drawn(uint16_t x, uint16_t y, const char* text, uint8_t size,
                                                           uint8_t align)
{
    lcd_clear();
    draw_text(x, y, text, 0, size, align, 15);
    return {picture(), extent()};
}

class Text : public ::testing::Test {
protected:
    void SetUp() override
    {
        lcd_clear();
        st.text_start_x = st.text_end_x = 0;
    }
};

// ---- the records ----------------------------------------------------------

TEST(FontRecords, HeaderTableWidthsAndLength)
{
    for (const FontFacts& f : FONTS) {
        SCOPED_TRACE("font " + std::to_string(f.size));
        const uint8_t* r = f.font;
        EXPECT_EQ(u16(r), 0);
        EXPECT_EQ(u16(r + 2), f.first);
        EXPECT_EQ(u16(r + 4), f.last);
        EXPECT_EQ(r[6], f.spare);
        EXPECT_EQ(r[7], f.height);

        std::vector<int> widths = parse_widths(f.widths);
        int count = f.last - f.first + 1;
        uint32_t expected_offset = 8 + 4 * count;
        int widest = 0;
        for (int c = f.first; c <= f.last; ++c) {
            const GlyphView g = glyph(r, c);
            const int width = g.width;
            // Images follow one another without gaps, in code order.
            EXPECT_EQ(uint32_t(g.image - r), expected_offset) << "code " << c;
            EXPECT_GE(width, 3) << "code " << c;
            EXPECT_LE(width, 51) << "code " << c;
            if (c >= 0x20 && c - 0x20 < (int)widths.size()) {
                EXPECT_EQ(width, widths[c - 0x20]) << "code " << c;
            }
            // Bits past the width in a row's last byte are clear.
            int per_row = (width + 7) / 8;
            if (width % 8) {
                for (int y = 0; y < f.height; ++y) {
                    EXPECT_EQ(g.image[y * per_row + per_row - 1] & (0xFF >> (width % 8)), 0)
                        << "code " << c << " row " << y;
                }
            }
            expected_offset += f.height * per_row;
            widest = std::max(widest, width);
        }
        EXPECT_EQ((int)expected_offset, f.length);
        EXPECT_EQ(widest, f.widest);
    }
}

TEST(FontRecords, DigitsAndCapitalsOnTheirRows)
{
    for (const FontFacts& f : FONTS) {
        SCOPED_TRACE("font " + std::to_string(f.size));
        // A glyph's first and last inked rows.
        auto rows = [&](char c) { return std::pair(glyph(f.font, c).top(), glyph(f.font, c).bottom()); };
        std::string chars = "0123456789";
        if (f.last >= 0x7E) chars += "ABCDEFGHIJKLMNOPRSTUVWXYZ";  // Q's tail may descend
        for (char c : chars) EXPECT_EQ(rows(c), std::pair(f.cap_top, f.baseline)) << c;
        if (f.last >= 0x7E) {
            EXPECT_EQ(rows('Q').first, f.cap_top);
            EXPECT_GE(rows('Q').second, f.baseline);
            EXPECT_LE(rows('Q').second, f.desc_end);
            // Lower case: x-height band, descenders and ascenders.
            for (char c : std::string("acemnorsuvwxz")) EXPECT_EQ(rows(c), std::pair(f.x_top, f.baseline)) << c;
            for (char c : std::string("gpqy")) EXPECT_EQ(rows(c).second, f.desc_end) << c;
            for (char c : std::string("bdhkl")) {
                EXPECT_LE(rows(c).first, f.cap_top) << c;
                EXPECT_EQ(rows(c).second, f.baseline) << c;
            }
            // Nothing in the font reaches below the descender row.
            for (int c = f.first; c <= f.last; ++c) EXPECT_LE(glyph(f.font, c).bottom(), f.desc_end) << c;
        }
    }
}

TEST(FontRecords, BlanksPlaceholdersAndSpecialGlyphs)
{
    for (const FontFacts& f : FONTS) {
        SCOPED_TRACE("font " + std::to_string(f.size));
        EXPECT_TRUE(glyph(f.font, ' ').blank());
        for (int c = 0x21; c <= std::min(f.last, 0x7E); ++c) EXPECT_FALSE(glyph(f.font, c).blank()) << c;
        if (f.box_width) {
            GlyphView box = glyph(f.font, 0x7F);
            EXPECT_EQ(box.width, f.box_width);
            EXPECT_EQ(box.top(), f.cap_top);
            EXPECT_EQ(box.bottom(), f.baseline);
            // An outline: the middle of the box is empty.
            EXPECT_FALSE(box.ink(box.width / 2, (f.cap_top + f.baseline) / 2));
        }
    }
    struct { const uint8_t* font; int degree_width; } full[] = {{font_8, 5}, {font_10, 8}};
    for (auto& f : full) {
        for (int c : {0x00, 0x09, 0x0A, 0x0D, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0xA0})
            EXPECT_TRUE(glyph(f.font, c).blank()) << c;
        // Every other control code and every code from 0x7F up has a picture.
        for (int c = 0x01; c <= 0x1B; ++c)
            EXPECT_EQ(glyph(f.font, c).blank(), c == 0x09 || c == 0x0A || c == 0x0D) << c;
        for (int c = 0x7F; c <= 0xFF; ++c) EXPECT_EQ(glyph(f.font, c).blank(), c == 0xA0) << c;
        GlyphView degree = glyph(f.font, 0xB0);
        EXPECT_EQ(degree.width, f.degree_width);
        EXPECT_FALSE(degree.blank());
        // The degree sign is raised: it ends well above the baseline.
        EXPECT_LT(degree.bottom(), glyph(f.font, 'x').top() + 3);
        // Codes the page leaves undefined all show the same placeholder.
        GlyphView box = glyph(f.font, 0x7F);
        for (int c : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
            GlyphView g = glyph(f.font, c);
            ASSERT_EQ(g.width, box.width) << c;
            EXPECT_EQ(std::memcmp(g.image, box.image, box.height * ((box.width + 7) / 8)), 0) << c;
        }
    }
}

// ---- the renderer ---------------------------------------------------------

TEST_F(Text, DoneCentredInFont16)
{
    draw_text(110, 55, "DONE", 0, 16, 0, 15);
    EXPECT_EQ(extent(), std::pair(68, 152));
    // All of it white in columns 68..150 (the gap after the last glyph stays
    // clear) and rows 55 + 6 .. 55 + 25.
    EXPECT_GT(lit_anywhere(), 0);
    EXPECT_EQ(count_colour(68, 61, 150, 80, 15), lit_anywhere());
}

TEST_F(Text, RightAlignedDigitsInFont24)
{
    draw_text(160, 10, "1234", 0, 24, 2, 15);
    EXPECT_EQ(extent(), std::pair(60, 160));
    // The '4' occupies columns 135..158 and matches its glyph bit for bit.
    GlyphView four = glyph(font_24, '4');
    for (int y = 0; y < four.height; ++y) {
        for (int x = 0; x < four.width; ++x) EXPECT_EQ(px(135 + x, 10 + y) != 0, four.ink(x, y)) << x << "," << y;
        EXPECT_EQ(px(159, 10 + y), 0);
    }
    EXPECT_EQ(count_lit(0, 0, 59, 127), 0);
}

TEST_F(Text, LeftAlignedGlyphsEachFollowedByAGap)
{
    draw_text(0, 27, "BACKLIGHT", 0, 8, 1, 15);
    EXPECT_EQ(extent(), std::pair(0, 88));
    int pen = 0;
    for (char c : std::string("BACKLIGHT")) {
        GlyphView g = glyph(font_8, c);
        for (int y = 0; y < g.height; ++y) {
            for (int x = 0; x < g.width; ++x) EXPECT_EQ(px(pen + x, 27 + y) != 0, g.ink(x, y)) << c;
            EXPECT_EQ(px(pen + g.width, 27 + y), 0) << c;
        }
        pen += g.width + 1;
    }
    EXPECT_EQ(count_lit(0, 0, 159, 26) + count_lit(0, 27 + 16, 159, 127), 0);
}

TEST_F(Text, StartColumnForEachAlignment)
{
    struct { uint16_t x; const char* text; uint8_t size, align; uint16_t start, end; } cases[] = {
        {80, "0", 8, 0, 76, 85},           // advance 9: the halving drops the odd pixel
        {80, "0", 8, 3, 76, 85},           // align 3 centres like 0
        {80, "0", 8, 255, 76, 85},
        {80, "1", 8, 0, 76, 84},           // the narrow one: advance 8
        {80, "0", 8, 1, 80, 89},
        {80, "0", 8, 2, 71, 80},
        {100, "", 16, 0, 100, 100},        // empty: both globals at x
        {100, "", 16, 1, 100, 100},
        {100, "", 16, 2, 100, 100},
        {10, "DONE", 16, 2, 65462, 10},    // unsigned 16-bit wrap of the start
        {0, "DONE", 16, 0, 65494, 42},
        {65530, "0", 8, 1, 65530, 3},      // the pen wraps too
    };
    for (auto& c : cases) {
        draw_text(c.x, 0, c.text, 0, c.size, c.align, 15);
        EXPECT_EQ(extent(), (std::pair<int, int>(c.start, c.end))) << c.text << " align " << int(c.align);
    }
}

TEST_F(Text, TheLogKeepsEveryCallUntilTheLcdIsCleared)
{
    struct { uint16_t x, y; const char* text; uint8_t size, align, colour; uint16_t start, end; } calls[] = {
        {110, 55, "DONE", 16, 0, 15, 68, 152},
        {160, 10, "1234", 24, 2, 9, 60, 160},
        {0, 27, "BACKLIGHT", 8, 1, 229, 0, 88},
        {100, 0, "", 16, 0, 11, 100, 100},
        {65530, 3, "0", 8, 1, 10, 65530, 3},
    };
    for (auto& c : calls)
        draw_text(c.x, c.y, c.text, 0, c.size, c.align, c.colour);
    ASSERT_EQ(lcd_text_log.count, 5);
    EXPECT_EQ(lcd_text_log.dropped, 0);
    for (int i = 0; i < 5; i++) {
        const drawn_text& e = lcd_text_log.entries[i];
        const auto& c = calls[i];
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(e.text, c.text);
        EXPECT_EQ(std::tuple(e.x, e.y, e.start_x, e.end_x), std::tuple(c.x, c.y, c.start, c.end));
        EXPECT_EQ(std::tuple(e.size, e.align, e.colour), std::tuple(c.size, c.align, c.colour));
    }
    lcd_clear();
    EXPECT_EQ(lcd_text_log.count, 0);
    draw_text(0, 0, "MENU", 0, 9, 1, 15);
    EXPECT_EQ(lcd_text_log.count, 1);
    EXPECT_STREQ(lcd_text_log.entries[0].text, "MENU");
}

TEST_F(Text, TheLogIsFixedInCallsAndCharacters)
{
    // Full after its capacity: the calls past it are counted, not kept.
    for (int calls : {TEXT_LOG_CAPACITY - 1, TEXT_LOG_CAPACITY, TEXT_LOG_CAPACITY + 1, TEXT_LOG_CAPACITY + 7}) {
        lcd_clear();
        for (int i = 0; i < calls; i++)
            draw_text(0, uint16_t(i), i + 1 == calls ? "LAST" : "ROW", 0, 8, 1, 15);
        SCOPED_TRACE(calls);
        EXPECT_EQ(lcd_text_log.count, std::min(calls, 32));
        EXPECT_EQ(lcd_text_log.dropped, std::max(calls - 32, 0));
        EXPECT_STREQ(lcd_text_log.entries[lcd_text_log.count - 1].text, calls <= 32 ? "LAST" : "ROW");
        EXPECT_EQ(lcd_text_log.entries[lcd_text_log.count - 1].y, std::min(calls, 32) - 1);
    }
    // A string keeps its first 40 bytes; the drawing and extent take it all.
    const std::string forty(40, '|'), longer = forty + "AB";
    struct { const std::string& text; uint16_t end; } strings[] = {{forty, 160}, {longer, 160 + 10 + 11}};
    for (auto& s : strings) {
        lcd_clear();
        draw_text(0, 0, s.text.c_str(), 0, 8, 1, 15);
        EXPECT_EQ(lcd_text_log.entries[0].text, forty);
        EXPECT_EQ(lcd_text_log.entries[0].end_x, s.end);
    }
}

TEST_F(Text, UnlistedSizeCodesSelectFont8)
{
    EXPECT_EQ(font_for_size(8), font_8);
    for (const FontFacts& f : FONTS) EXPECT_EQ(font_for_size(f.size), f.font) << int(f.size);
    for (uint8_t size : {0, 1, 7, 11, 13, 200, 255}) EXPECT_EQ(font_for_size(size), font_8) << int(size);

    for (uint8_t size : {11, 200})
        EXPECT_EQ(drawn(5, 5, "Vne 250", size, 1), drawn(5, 5, "Vne 250", 8, 1)) << int(size);
    EXPECT_EQ(drawn(80, 5, "MENU", 9, 3), drawn(80, 5, "MENU", 9, 0));
}

TEST_F(Text, RunsOffTheRightEdgeWithoutWrapping)
{
    draw_text(120, 40, "ABCDEFGHIJ", 0, 10, 1, 15);
    EXPECT_EQ(st.text_start_x, 120);
    EXPECT_GT(st.text_end_x, 160);
    EXPECT_EQ(count_lit(0, 0, 119, 127), 0);
    EXPECT_GT(count_lit(159, 0, 159, 127), 0) << "cut at the last column";
    EXPECT_EQ(count_lit(0, 0, 159, 39) + count_lit(0, 40 + 21, 159, 127), 0);
    // Below the bottom edge too.
    lcd_clear();
    draw_text(0, 120, "gjpqy", 0, 16, 1, 15);
    EXPECT_GT(lit_anywhere(), 0);
}

TEST_F(Text, InkOnlyOverWhatIsThere)
{
    lcd_fill(60, 50, 130, 90, 9);
    draw_text(110, 55, "DONE", 0, 16, 0, 15);
    const int red = count_colour(60, 50, 129, 89, 9), white = count_colour(60, 50, 129, 89, 15);
    EXPECT_EQ(red + white, 70 * 40) << "nothing but the rectangle and the ink";
    EXPECT_GT(red, 0);
    EXPECT_GT(white, 0);
    // The hole of the 'O' keeps the rectangle's colour.
    int o_left = 68 + 21 + 1;
    GlyphView o = glyph(font_16, 'O');
    EXPECT_FALSE(o.ink(o.width / 2, 15));
    EXPECT_EQ(px(o_left + o.width / 2, 55 + 15), 9);
}

TEST_F(Text, CharactersOutsideTheFontDrawNothingAndTakeNoAdvance)
{
    struct { uint8_t size; const char* with_strangers; const char* plain; } cases[] = {
        {20, "-1A2.5x", "-12.5"}, {24, "\x7F" "12\xFF", "12"}, {34, "9~", "9"}, {9, "OK\x80\x1F\xFF", "OK"},
        {12, "\x01QNH\xB0", "QNH"}, {16, "\x0A" "DONE\xA0", "DONE"},
    };
    for (auto& c : cases)
        EXPECT_EQ(drawn(80, 10, c.with_strangers, c.size, 0), drawn(80, 10, c.plain, c.size, 0)) << c.plain;
    // A string of nothing but strangers behaves like the empty string.
    draw_text(50, 0, "ABC", 0, 30, 2, 15);
    EXPECT_EQ(extent(), std::pair(50, 50));
}

TEST_F(Text, FullFontsDrawEveryCode)
{
    // Every code 1..255 of font_8 and font_10 advances by its width + 1.
    for (const uint8_t* font : {font_8, font_10}) {
        uint8_t size = font == font_8 ? 8 : 10;
        for (int c = 1; c <= 255; ++c) {
            char s[2] = {(char)c, 0};
            lcd_clear();
            draw_text(0, 0, s, 0, size, 1, 15);
            EXPECT_EQ(st.text_end_x, glyph(font, c).width + 1) << c;
            EXPECT_EQ(lit_anywhere() > 0, !glyph(font, c).blank()) << c;
        }
    }
    // The temperature line's degree sign.
    draw_text(0, 0, "21\xB0" "C", 0, 8, 1, 15);
    EXPECT_EQ(st.text_end_x, 9 + 8 + 6 + 11);
}

}  // namespace
