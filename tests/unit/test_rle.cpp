// The run-length image decoder and the icon store.
#include <algorithm>
#include <memory>
#include <set>

#include "gfx/icons.h"
#include "gfx/rle.h"
#include "screen_harness.h"

namespace {

using screen_test::count_colour;
using screen_test::px;

constexpr uint8_t FILL = 0x77;  // a colour no image uses, to see what was written

void fill_screen()
{
    memset(lcd_buffer, FILL, sizeof lcd_buffer);
}

// An image laid out in an exact-size heap block, so that a read past its end
// is caught by AddressSanitizer in the sanitizer build.
struct heap_image {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size;
    explicit heap_image(const std::vector<uint8_t>& data)
        : bytes(new uint8_t[data.size()]), size(data.size())
    {
        if (size)
            memcpy(bytes.get(), data.data(), size);
    }
    const uint8_t* begin() const { return bytes.get(); }
    const uint8_t* end() const { return bytes.get() + size; }
};

std::vector<uint8_t> image(uint16_t w, uint16_t h, const std::vector<uint8_t>& stream)
{
    std::vector<uint8_t> out(4 + stream.size());
    out[0] = uint8_t(w), out[1] = uint8_t(w >> 8), out[2] = uint8_t(h), out[3] = uint8_t(h >> 8);
    std::copy(stream.begin(), stream.end(), out.begin() + 4);
    return out;
}

// An independent walk over one stored image: its pixels, and where it ends.
struct walked {
    bool ok = false;
    std::string fault;
    std::vector<uint8_t> pixels;
    size_t length = 0;  // header and stream bytes
};

walked walk(const uint8_t* img, const uint8_t* end)
{
    walked w;
    int width = img[0] | img[1] << 8, height = img[2] | img[3] << 8;
    if (width != 50 || height != 50) {
        w.fault = "size " + std::to_string(width) + " x " + std::to_string(height);
        return w;
    }
    const uint8_t* p = img + 4;
    for (int r = 0; r < height; r++) {
        int col = 0;
        while (col < width) {
            if (p >= end) {
                w.fault = "stream runs past the store in row " + std::to_string(r);
                return w;
            }
            uint8_t n = *p++;
            int count = n & 0x7F;
            bool run = n & 0x80;
            if (count == 0 || col + count > width) {
                w.fault = "bad item in row " + std::to_string(r) + " at column " + std::to_string(col);
                return w;
            }
            if (p + (run ? 1 : count) > end) {
                w.fault = "item runs past the store";
                return w;
            }
            for (int i = 0; i < count; i++)
                w.pixels.push_back(run ? p[0] : p[i]);
            p += run ? 1 : count;
            col += count;
        }
    }
    w.ok = true;
    w.length = size_t(p - img);
    return w;
}

// The pixels of the screen that differ from a w x h image (row-major) drawn
// at (x0, y0) over the fill: its pixels where it lies, the fill everywhere
// else. Positions are 16-bit sums: the image covers x0 .. x0 + w - 1 modulo
// 65536, so one left of or above the screen shows the part that comes back
// onto it.
int wrong_pixels(uint16_t x0, uint16_t y0, int w, int h, const std::vector<uint8_t>& pixels)
{
    int wrong = 0;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++) {
            const uint16_t dx = uint16_t(x - x0), dy = uint16_t(y - y0);
            const bool inside = dx < w && dy < h;
            wrong += px(x, y) != (inside ? pixels[dy * w + dx] : FILL);
        }
    return wrong;
}

// Each icon and the palette indices its artwork uses, every one of them.
struct icon_case { const char* name; const uint8_t* image; std::set<uint8_t> indices; };

std::vector<icon_case> icon_cases()
{
    return {
        {"icon_exclamation", icon_exclamation, {0, 9, 15}}, {"icon_question", icon_question, {0, 9, 15}},
        {"icon_alt_setup", icon_alt_setup, {0, 7, 15}}, {"icon_vsi_setup", icon_vsi_setup, {0, 13, 15}},
        {"icon_asi_setup", icon_asi_setup, {0, 9, 10, 11, 15}},
        {"icon_timers_setup", icon_timers_setup, {0, 8, 11, 15}},
        {"icon_misc_setup", icon_misc_setup, {0, 7, 8, 9, 10, 11}},
        {"icon_adc_values", icon_adc_values, {0, 9, 10, 11}},
    };
}

TEST(Rle, SmallStreamsDrawTheirPixels)
{
    struct {
        const char* what;
        uint16_t w, h;
        std::vector<uint8_t> stream;
        std::vector<uint8_t> expected;  // row-major, drawn at (10, 20)
    } cases[] = {
        {"run of 5 white, literal red black red", 8, 1,
         {0x85, 0x0F, 0x03, 0x09, 0x00, 0x09}, {15, 15, 15, 15, 15, 9, 0, 9}},
        {"two runs of 25 end the row, the next item starts row 2", 50, 2,
         {0x99, 0x09, 0x99, 0x0A, 0xB2, 0x0B}, {}},
        {"a zero run still consumes its index, a zero literal draws nothing", 3, 1,
         {0x80, 0x0D, 0x00, 0x83, 0x0F}, {15, 15, 15}},
        {"a run of 127 of black", 127, 1, {0xFF, 0x00}, {}},
    };
    // Expected pixels for the rows that are too long to spell out.
    for (int i = 0; i < 50; i++)
        cases[1].expected.push_back(i < 25 ? 9 : 10);
    for (int i = 0; i < 50; i++)
        cases[1].expected.push_back(11);
    cases[3].expected.assign(127, 0);

    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        heap_image img(image(c.w, c.h, c.stream));
        fill_screen();
        draw_rle_image_bounded(10, 20, img.begin(), img.end());
        // Its pixels (cut at the right edge), and nothing outside touched.
        EXPECT_EQ(wrong_pixels(10, 20, c.w, c.h, c.expected), 0);
    }
}

// A stream longer than one staging block, with items straddling the block
// boundaries and a short last block that ends exactly at the buffer's end.
TEST(Rle, StreamsSpanningSeveralBlocksDecodeInOrder)
{
    for (int width : {1, 7, 60, 126, 127}) {
        SCOPED_TRACE(width);
        const int height = 10;
        std::vector<uint8_t> stream, expected;
        for (int r = 0; r < height; r++) {
            // A literal of the whole row, except every third row is a run.
            if (r % 3 == 2) {
                stream.push_back(uint8_t(0x80 | width));
                stream.push_back(uint8_t(r + 1));
                expected.insert(expected.end(), width, uint8_t(r + 1));
            } else {
                stream.push_back(uint8_t(width));
                for (int c = 0; c < width; c++) {
                    uint8_t v = uint8_t((r * 31 + c * 7) % 250 + 1);
                    stream.push_back(v);
                    expected.push_back(v);
                }
            }
        }
        heap_image img(image(uint16_t(width), height, stream));
        ASSERT_NE(stream.size() % 128, 0u);
        fill_screen();
        draw_rle_image_bounded(3, 2, img.begin(), img.end());
        EXPECT_EQ(wrong_pixels(3, 2, width, height, expected), 0);
    }
}

// The decoder uses nothing at or after the end it is given: a stream cut short
// stops the drawing there, even though the bytes that follow in memory would
// go on to draw.
TEST(Rle, NothingPastTheEndIsUsed)
{
    // Three rows of 4: the first two complete, then the data continues with a
    // third row that lies beyond the given end.
    std::vector<uint8_t> data = image(4, 3, {0x84, 0x0F, 0x84, 0x09, 0x84, 0x0A});
    struct { size_t end_at; int rows_drawn; } cases[] = {
        {data.size(), 3},      // everything
        {data.size() - 1, 2},  // the last run lacks its index
        {data.size() - 2, 2},  // the last item is missing
        {4 + 3, 1},            // the second run lacks its index
        {4, 0},                // header only
        {3, 0},                // not even a header
        {0, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.end_at);
        const uint8_t colours[] = {15, 9, 10};
        // First the whole data in memory, of which only end_at bytes are
        // given: what follows would draw if it were used. Then an exact-size
        // copy of those bytes, which AddressSanitizer guards.
        heap_image whole(data);
        std::vector<uint8_t> prefix(data.begin(), data.begin() + long(c.end_at));
        heap_image exact(prefix);
        for (const uint8_t* img : {whole.begin(), exact.begin()}) {
            fill_screen();
            draw_rle_image_bounded(0, 0, img, img + c.end_at);
            for (int r = 0; r < 3; r++)
                for (int x = 0; x < 4; x++)
                    EXPECT_EQ(px(x, r), r < c.rows_drawn ? colours[r] : FILL) << x << "," << r;
        }
    }
}

TEST(Rle, TheStoreHoldsEightValidIconsBackToBack)
{
    const uint8_t* store_end = icon_store + icon_store_size;
    std::vector<icon_case> icons = icon_cases();
    // The icons follow each other in the store; the last one ends at its end.
    const uint8_t* expected_start = icon_store;
    for (const icon_case& icon : icons) {
        SCOPED_TRACE(icon.name);
        EXPECT_EQ(icon.image, expected_start);
        walked w = walk(icon.image, store_end);
        ASSERT_TRUE(w.ok) << w.fault;
        ASSERT_EQ(w.pixels.size(), 2500u);
        EXPECT_EQ(std::set<uint8_t>(w.pixels.begin(), w.pixels.end()), icon.indices);
        expected_start = icon.image + w.length;
    }
    EXPECT_EQ(expected_start, store_end);
}

struct place { uint16_t x, y; };

// Every icon drawn at each place over a filled screen: its 50 x 50 pixels
// where it lies, opaque, and the fill everywhere else.
void expect_icons_drawn_at(std::initializer_list<place> places)
{
    const uint8_t* store_end = icon_store + icon_store_size;
    for (const icon_case& icon : icon_cases()) {
        walked w = walk(icon.image, store_end);
        ASSERT_TRUE(w.ok) << icon.name << ": " << w.fault;
        for (const place& p : places) {
            SCOPED_TRACE(std::string(icon.name) + " at " + std::to_string(p.x) + "," + std::to_string(p.y));
            fill_screen();
            draw_rle_image(p.x, p.y, icon.image);
            EXPECT_EQ(wrong_pixels(p.x, p.y, 50, 50, w.pixels), 0);
            int visible_w = p.x < LCD_WIDTH ? std::min(50, LCD_WIDTH - p.x) : std::max(0, p.x + 50 - 65536);
            int visible_h = p.y < LCD_HEIGHT ? std::min(50, LCD_HEIGHT - p.y) : std::max(0, p.y + 50 - 65536);
            EXPECT_EQ(count_colour(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1, FILL),
                      LCD_WIDTH * LCD_HEIGHT - visible_w * visible_h);
        }
    }
}

TEST(Rle, IconsAreOpaqueAndDrawExactlyTheirSquare)
{
    expect_icons_drawn_at({{5, 42}, {10, 45}, {0, 0}, {110, 78}});
}

TEST(Rle, PartlyOffScreenIconsDrawTheVisiblePartOnly)
{
    expect_icons_drawn_at({{130, 10}, {10, 100}, {140, 110}, {159, 127}, {160, 0}, {0, 128}, {65535, 0},
                           {0, 65535}, {65500, 20}, {20, 65500}, {65530, 65530}});
}

// The store's own end bounds the reads of draw_rle_image, and the last icon's
// final block is a short one; an exact-size copy of the store shows that the
// decoder copies no more than is there (under AddressSanitizer).
TEST(Rle, TheLastIconEndsWithAShortBlockAtTheEndOfItsData)
{
    const uint8_t* store_end = icon_store + icon_store_size;
    size_t last_offset = size_t(icon_adc_values - icon_store);
    size_t stream = icon_store_size - last_offset - 4;
    ASSERT_NE(stream % 128, 0u) << "pick data whose last block is short";
    walked w = walk(icon_adc_values, store_end);
    ASSERT_TRUE(w.ok) << w.fault;

    heap_image copy(std::vector<uint8_t>(icon_adc_values, store_end));
    fill_screen();
    draw_rle_image_bounded(5, 42, copy.begin(), copy.end());
    EXPECT_EQ(wrong_pixels(5, 42, 50, 50, w.pixels), 0);
}

// Only images of the store have a known end; anything else draws nothing
// through the unbounded entry.
TEST(Rle, AnImageOutsideTheStoreIsNotDrawn)
{
    const uint8_t elsewhere[] = {2, 0, 1, 0, 0x82, 0x0F};
    fill_screen();
    draw_rle_image(0, 0, elsewhere);
    draw_rle_image(0, 0, nullptr);
    draw_rle_image(0, 0, icon_store + icon_store_size);
    EXPECT_EQ(px(0, 0), FILL);
    EXPECT_EQ(px(1, 0), FILL);
    draw_rle_image_bounded(0, 0, elsewhere, elsewhere + sizeof elsewhere);
    EXPECT_EQ(px(0, 0), 15);
    EXPECT_EQ(px(1, 0), 15);
}

}  // namespace
