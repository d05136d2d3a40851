// The screen-handler contract, the navigation helpers and the screen
// furniture, checked on the LCD pixels and the state record.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"
#include "host/pass.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

using point = std::pair<int, int>;

uint8_t pixel(int x, int y)
{
    return lcd_buffer[y * LCD_WIDTH + x];
}

// The pixels that draw_text sets for this text, taken on a scratch copy so
// the screen under test is left as it was.
std::vector<point> text_pixels(uint16_t x, uint16_t y, const char* text, uint8_t size, uint8_t align)
{
    static uint8_t saved[sizeof lcd_buffer];
    memcpy(saved, lcd_buffer, sizeof lcd_buffer);
    const uint16_t start = st.text_start_x, end = st.text_end_x;
    lcd_clear();
    draw_text(x, y, text, 0, size, align, 1);
    std::vector<point> out;
    for (int py = 0; py < LCD_HEIGHT; py++)
        for (int px = 0; px < LCD_WIDTH; px++)
            if (pixel(px, py))
                out.push_back({px, py});
    memcpy(lcd_buffer, saved, sizeof lcd_buffer);
    st.text_start_x = start;
    st.text_end_x = end;
    return out;
}

// Where draw_text leaves text_end_x for this text.
uint16_t text_end(uint16_t x, uint16_t y, const char* text, uint8_t size, uint8_t align)
{
    static uint8_t saved[sizeof lcd_buffer];
    memcpy(saved, lcd_buffer, sizeof lcd_buffer);
    const uint16_t start = st.text_start_x, end = st.text_end_x;
    draw_text(x, y, text, 0, size, align, 1);
    const uint16_t result = st.text_end_x;
    memcpy(lcd_buffer, saved, sizeof lcd_buffer);
    st.text_start_x = start;
    st.text_end_x = end;
    return result;
}

// True when the text is on the LCD at that place, size and alignment, every
// one of its pixels in colour. Fails when the font draws nothing at all.
::testing::AssertionResult text_shown(uint16_t x, uint16_t y, const char* text, uint8_t size, uint8_t align,
                                      uint8_t colour)
{
    auto pixels = text_pixels(x, y, text, size, align);
    if (pixels.empty())
        return ::testing::AssertionFailure() << "font " << int(size) << " draws nothing for \"" << text << "\"";
    for (auto [px, py] : pixels)
        if (pixel(px, py) != colour)
            return ::testing::AssertionFailure() << "\"" << text << "\" pixel (" << px << "," << py << ") is "
                                                 << int(pixel(px, py)) << ", not " << int(colour);
    return ::testing::AssertionSuccess();
}

int lit_in(int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (pixel(x, y))
                n++;
    return n;
}

int lit_total()
{
    return lit_in(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1);
}

const host_io quiet_io = {
    [](bool) {},
    [] { return true; },
    [](const char*) {},
    [] {},
    [] {},
};

void marker_screen() {}

class Framework : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&st, 0, sizeof st);
        host_switch_on();
        lcd_clear();
    }
};

TEST_F(Framework, SecondKeyOfAPassIsLostAndOnlyTheFirstActs)
{
    st.main_page = 0;
    const uint32_t qnh = st.qnh;
    host_post_key(KEY_CW);
    host_post_key(KEY_RIGHT);  // arrives while the first is pending: dropped
    EXPECT_EQ(st.pending_key, KEY_CW);
    run_pass(quiet_io);
    EXPECT_EQ(st.qnh, qnh + 1000);
    EXPECT_EQ(st.main_page, 0);
    EXPECT_EQ(st.pending_key, KEY_NONE);
    run_pass(quiet_io);
    EXPECT_EQ(st.main_page, 0) << "the lost key must not act later";
    EXPECT_EQ(st.qnh, qnh + 1000);
}

TEST_F(Framework, IgnoredKeyIsClearedAndDoesNotReachTheNextScreen)
{
    // The START/STOP question treats the knob push as "no" and returns; the
    // push must not go on to open the menu from the main display.
    st.current_screen = screen_flight_start_stop;
    host_post_key(KEY_PUSH);
    run_pass(quiet_io);
    EXPECT_EQ(st.current_screen, screen_main);
    EXPECT_EQ(st.pending_key, KEY_NONE);
    run_pass(quiet_io);
    EXPECT_EQ(st.current_screen, screen_main);
    EXPECT_EQ(st.flight_active, 0);

    // In DETECT mode the left key means nothing on the main display; it is
    // still consumed.
    st.flight_timer_mode = 1;
    host_post_key(KEY_LEFT);
    run_pass(quiet_io);
    EXPECT_EQ(st.current_screen, screen_main);
    EXPECT_EQ(st.pending_key, KEY_NONE);
}

TEST_F(Framework, ScreenChangeShowsFromTheNextPass)
{
    // The pass that handles the key still shows the old screen (the main
    // display with its QNH box); the question appears one pass later.
    host_post_key(KEY_LEFT);
    run_pass(quiet_io);
    EXPECT_EQ(st.current_screen, screen_flight_start_stop);
    EXPECT_EQ(pixel(45, 109), COLOUR_GREY) << "still the main display";
    EXPECT_LT(lit_in(0, 25, 159, 25), 160);
    run_pass(quiet_io);
    EXPECT_EQ(pixel(45, 109), 0);
    EXPECT_EQ(lit_in(0, 25, 159, 25), 160) << "the question's title rule";
}

TEST_F(Framework, ResetMenuCursorAndReturnToMainDisplay)
{
    st.pending_code = 1234;
    st.edit_mode = 1;
    st.menu_scroll = 4;
    st.edit_step = 100;
    reset_menu_cursor(6);
    EXPECT_EQ(st.pending_code, 0);
    EXPECT_EQ(st.edit_mode, 0);
    EXPECT_EQ(st.menu_cursor, 6);
    EXPECT_EQ(st.menu_scroll, 0);
    EXPECT_EQ(st.edit_step, 1);

    st.current_screen = screen_main_menu;
    st.edit_mode = 1;
    st.menu_cursor = 3;
    st.menu_scroll = 2;
    st.edit_step = 10;
    st.main_page = 2;
    st.pending_code = 77;
    return_to_main_display();
    EXPECT_EQ(st.current_screen, screen_main);
    EXPECT_EQ(st.edit_mode, 0);
    EXPECT_EQ(st.menu_cursor, 0);
    EXPECT_EQ(st.menu_scroll, 0);
    EXPECT_EQ(st.edit_step, 1);
    EXPECT_EQ(st.main_page, 2) << "the page is kept";
    EXPECT_EQ(st.pending_code, 77) << "only reset_menu_cursor clears the code";
}

TEST_F(Framework, ScrollKeepsTheCursorOnTheLastVisibleRow)
{
    const uint8_t expected_scroll[8] = {0, 0, 0, 0, 0, 1, 2, 3};
    for (uint8_t cursor = 0; cursor < 8; cursor++) {
        st.menu_cursor = cursor;
        st.menu_scroll = 9;
        scroll_to_cursor();
        EXPECT_EQ(st.menu_scroll, expected_scroll[cursor]) << "cursor " << int(cursor);
    }

    // A list of eight rows with the cursor on row 7: rows 3 to 7 are shown,
    // row 7 in red at the bottom position.
    const char* names[8] = {"ROW A", "ROW B", "ROW C", "ROW D", "ROW E", "ROW F", "ROW G", "ROW H"};
    st.menu_cursor = 7;
    scroll_to_cursor();
    lcd_clear();
    for (int n = 0; n < 8; n++)
        draw_menu_row(int8_t(n - st.menu_scroll), names[n], n == st.menu_cursor ? COLOUR_RED : COLOUR_WHITE);
    for (int n = 3; n < 8; n++)
        EXPECT_TRUE(text_shown(0, uint16_t(16 * (n - 3) + 27), names[n], 8, ALIGN_LEFT,
                               n == 7 ? COLOUR_RED : COLOUR_WHITE))
            << "row " << n;
    EXPECT_TRUE(text_shown(0, 91, "ROW H", 8, ALIGN_LEFT, COLOUR_RED));
    // Nothing above the first row or below the fifth.
    EXPECT_EQ(lit_in(0, 0, 159, 26), 0);
    EXPECT_EQ(lit_in(0, 107, 159, 127), 0);
}

TEST_F(Framework, RowsOutsideTheFiveVisiblePositionsAreNotDrawn)
{
    const int8_t rows[] = {-128, -2, -1, 5, 6, 127};
    for (int8_t row : rows) {
        lcd_clear();
        st.menu_cursor = 0;
        st.menu_scroll = 0;
        draw_menu_row(row, "HIDDEN", COLOUR_WHITE);
        draw_setting_row(row, "LABEL: ", "VALUE");
        EXPECT_EQ(lit_total(), 0) << "row " << int(row);
    }
    // The same calls on a visible row do draw.
    lcd_clear();
    draw_menu_row(4, "SHOWN", COLOUR_WHITE);
    EXPECT_TRUE(text_shown(0, 91, "SHOWN", 8, ALIGN_LEFT, COLOUR_WHITE));
}

TEST_F(Framework, SettingRowColoursWhileBrowsingAndEditing)
{
    struct {
        int8_t row;
        uint8_t cursor, scroll, edit;
        uint8_t label_colour, value_colour;
    } cases[] = {
        {0, 0, 0, 0, COLOUR_RED, COLOUR_RED},      // selected, browsing: all red
        {0, 0, 0, 1, COLOUR_WHITE, COLOUR_RED},    // selected, editing: value red
        {1, 0, 0, 0, COLOUR_WHITE, COLOUR_WHITE},  // not selected
        {1, 0, 0, 1, COLOUR_WHITE, COLOUR_WHITE},  // not selected while another row edits
        {4, 7, 3, 0, COLOUR_RED, COLOUR_RED},      // selected through the scroll offset
        {4, 7, 3, 1, COLOUR_WHITE, COLOUR_RED},
        {4, 4, 3, 0, COLOUR_WHITE, COLOUR_WHITE},  // visible 4 is row 7, not the cursor's 4
        {1, 4, 3, 0, COLOUR_RED, COLOUR_RED},      // visible 1 is row 4
    };
    for (auto& c : cases) {
        st.menu_cursor = c.cursor;
        st.menu_scroll = c.scroll;
        st.edit_mode = c.edit;
        lcd_clear();
        draw_setting_row(c.row, "SECURITY: ", "ON");
        const uint16_t y = uint16_t(16 * c.row + 27);
        EXPECT_TRUE(text_shown(0, y, "SECURITY: ", 8, ALIGN_LEFT, c.label_colour)) << "row " << int(c.row);
        const uint16_t value_x = text_end(0, y, "SECURITY: ", 8, ALIGN_LEFT);
        EXPECT_GT(value_x, 40) << "the value follows the label";
        EXPECT_TRUE(text_shown(value_x, y, "ON", 8, ALIGN_LEFT, c.value_colour)) << "row " << int(c.row);
        EXPECT_EQ(lit_in(0, 0, 159, y - 1) + lit_in(0, y + 16, 159, 127), 0) << "row " << int(c.row);
    }
}

TEST_F(Framework, ScrollBarThumbFollowsTheFormula)
{
    struct {
        uint16_t index, count, top, bottom;
    } cases[] = {
        {0, 1, 30, 106},  // one entry: the thumb covers the whole track
        {0, 6, 30, 42},  {5, 6, 93, 105},
        {0, 4, 30, 49},  {1, 4, 49, 68},  {2, 4, 68, 87}, {3, 4, 87, 106},
        {7, 8, 96, 105},
    };
    for (auto& c : cases) {
        lcd_clear();
        draw_scroll_bar(c.index, c.count);
        for (int y = 0; y < LCD_HEIGHT; y++) {
            const bool thumb = y >= c.top && y <= c.bottom;
            const bool track = y >= 30 && y <= 106;
            for (int x = 150; x < 160; x++) {
                const bool lit = (thumb && x >= 153) || (track && x == 156);
                EXPECT_EQ(pixel(x, y), lit ? COLOUR_WHITE : 0)
                    << c.index << "/" << c.count << " at (" << x << "," << y << ")";
            }
        }
        EXPECT_EQ(lit_in(0, 0, 149, 127), 0);
    }
}

// The rotary hint's pixels that its description names, and its extent.
TEST_F(Framework, RotaryHintPoints)
{
    draw_rotary_hint();
    const point named[] = {
        {65, 120}, {80, 112}, {95, 119},              // the arc's ends and top
        {60, 117}, {70, 122}, {62, 126},              // left head corners
        {61, 118}, {61, 119}, {68, 122},              // left head pixels
        {90, 122}, {100, 117}, {98, 126},             // right head corners
        {92, 122}, {93, 122}, {99, 119},              // right head pixels
    };
    for (auto [x, y] : named)
        EXPECT_EQ(pixel(x, y), COLOUR_WHITE) << "(" << x << "," << y << ")";
    struct {
        int x, y0, y1;
    } runs[] = {
        {62, 119, 125}, {63, 119, 124}, {64, 120, 124}, {65, 121, 123}, {66, 121, 123}, {67, 121, 123},
        {94, 121, 123}, {95, 121, 123}, {96, 120, 124}, {97, 120, 124}, {98, 119, 123},
    };
    for (auto& r : runs)
        for (int y = r.y0; y <= r.y1; y++)
            EXPECT_EQ(pixel(r.x, y), COLOUR_WHITE) << "(" << r.x << "," << y << ")";
    // The arc passes over its top without a gap and no point of it lies
    // above row 112; the whole hint sits in the centre footer slot.
    EXPECT_EQ(lit_in(0, 0, 159, 111), 0);
    EXPECT_EQ(lit_in(0, 0, 59, 127) + lit_in(101, 0, 159, 127), 0);
    EXPECT_EQ(lit_in(54, 110, 105, 127), lit_total());
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++)
            ASSERT_TRUE(pixel(x, y) == 0 || pixel(x, y) == COLOUR_WHITE);
}

TEST_F(Framework, FooterKindsAndTheirLeftLabels)
{
    struct {
        uint8_t kind;
        const char* label;
    } cases[] = {
        {0, nullptr}, {1, "EXIT"}, {2, "BACK"}, {3, "DONE"}, {4, nullptr}, {255, nullptr},
    };
    lcd_clear();
    draw_rotary_hint();
    std::vector<uint8_t> hint(lcd_buffer, lcd_buffer + sizeof lcd_buffer);

    for (auto& c : cases) {
        lcd_clear();
        draw_footer(c.kind);
        for (int x = 0; x < LCD_WIDTH; x++)
            EXPECT_EQ(pixel(x, 110), COLOUR_WHITE) << "rule at x " << x;
        for (int y = 110; y < LCD_HEIGHT; y++) {
            EXPECT_EQ(pixel(53, y), COLOUR_WHITE) << "left separator at y " << y;
            EXPECT_EQ(pixel(106, y), COLOUR_WHITE) << "right separator at y " << y;
        }
        // The centre slot holds exactly the rotary hint.
        for (int y = 111; y < LCD_HEIGHT; y++)
            for (int x = 54; x < 106; x++)
                EXPECT_EQ(pixel(x, y), hint[y * LCD_WIDTH + x]) << "kind " << int(c.kind);
        EXPECT_EQ(lit_in(0, 0, 159, 109), 0);
        EXPECT_EQ(lit_in(107, 111, 159, 127), 0) << "the right slot stays empty";
        if (c.label) {
            EXPECT_TRUE(text_shown(26, 112, c.label, 8, ALIGN_CENTRE, COLOUR_WHITE)) << int(c.kind);
            EXPECT_EQ(lit_in(0, 111, 52, 127), int(text_pixels(26, 112, c.label, 8, ALIGN_CENTRE).size()));
        } else {
            EXPECT_EQ(lit_in(0, 111, 52, 127), 0) << "kind " << int(c.kind) << " has no label";
        }
    }
}

TEST_F(Framework, NoYesFooterHasBothLabelsAndNoHint)
{
    draw_no_yes_footer();
    EXPECT_EQ(lit_in(0, 110, 159, 110), 160);
    EXPECT_EQ(lit_in(53, 110, 53, 127), 18);
    EXPECT_EQ(lit_in(106, 110, 106, 127), 18);
    EXPECT_TRUE(text_shown(26, 112, "NO", 8, ALIGN_CENTRE, COLOUR_WHITE));
    EXPECT_TRUE(text_shown(134, 112, "YES", 8, ALIGN_CENTRE, COLOUR_WHITE));
    EXPECT_EQ(lit_in(54, 111, 105, 127), 0) << "no rotary hint";
    EXPECT_EQ(lit_in(0, 0, 159, 109), 0);
}

TEST_F(Framework, TitleBarLogoLinesAndRule)
{
    draw_title_bar("MAIN MENU", "SETUP");
    EXPECT_TRUE(text_shown(0, 0, "K", 12, ALIGN_LEFT, COLOUR_RED));
    EXPECT_TRUE(text_shown(15, 0, "ova", 12, ALIGN_LEFT, COLOUR_WHITE));
    EXPECT_TRUE(text_shown(158, 0, "MAIN MENU", 8, ALIGN_RIGHT, COLOUR_RED));
    EXPECT_TRUE(text_shown(158, 11, "SETUP", 8, ALIGN_RIGHT, COLOUR_RED));
    EXPECT_EQ(lit_in(0, 25, 159, 25), 160);
    EXPECT_EQ(pixel(0, 25), COLOUR_WHITE);
    EXPECT_EQ(lit_in(0, 26, 159, 127), 0);
    const int full = lit_total();

    // Empty lines draw nothing: only the logo and the rule remain.
    lcd_clear();
    draw_title_bar("", "");
    const int logo = int(text_pixels(0, 0, "K", 12, ALIGN_LEFT).size() + text_pixels(15, 0, "ova", 12, ALIGN_LEFT).size());
    EXPECT_GT(logo, 0);
    EXPECT_EQ(lit_total(), logo + 160);
    EXPECT_LT(lit_total(), full);
}

TEST_F(Framework, StepLabelShowsOnlyOnTheSelectedRow)
{
    struct {
        uint8_t row, cursor;
        uint16_t step;
        const char* label;
    } cases[] = {
        {2, 2, 1, "X1"},   {2, 2, 10, "X10"}, {2, 2, 100, "X100"},
        {2, 2, 0, nullptr}, {2, 2, 5, nullptr}, {2, 2, 1000, nullptr},
        {3, 2, 10, nullptr}, {0, 7, 1, nullptr},
    };
    for (auto& c : cases) {
        lcd_clear();
        st.menu_cursor = c.cursor;
        st.edit_step = c.step;
        draw_step_label(c.row);
        if (c.label) {
            EXPECT_TRUE(text_shown(134, 112, c.label, 8, ALIGN_CENTRE, COLOUR_WHITE)) << c.step;
            EXPECT_EQ(lit_total(), int(text_pixels(134, 112, c.label, 8, ALIGN_CENTRE).size()));
        } else {
            EXPECT_EQ(lit_total(), 0) << "row " << int(c.row) << " step " << c.step;
        }
    }
}

TEST_F(Framework, MessageDoneDrawsAndReturnsOnAnyKey)
{
    st.current_screen = screen_message_done;
    st.return_screen = marker_screen;
    lcd_clear();
    screen_message_done();
    EXPECT_EQ(st.current_screen, screen_message_done) << "stays without a key";
    EXPECT_TRUE(text_shown(158, 0, "MESSAGE", 8, ALIGN_RIGHT, COLOUR_RED));
    EXPECT_TRUE(text_shown(110, 55, "DONE", 16, ALIGN_CENTRE, COLOUR_WHITE));
    EXPECT_GT(lit_in(10, 45, 59, 94), 0) << "the exclamation icon";
    EXPECT_EQ(lit_in(0, 110, 159, 110), 0) << "no footer";
    // Nothing else: the logo, the first line, the rule, DONE and the icon.
    const size_t texts = text_pixels(0, 0, "K", 12, ALIGN_LEFT).size() + text_pixels(15, 0, "ova", 12, ALIGN_LEFT).size()
                       + text_pixels(158, 0, "MESSAGE", 8, ALIGN_RIGHT).size()
                       + text_pixels(110, 55, "DONE", 16, ALIGN_CENTRE).size();
    EXPECT_EQ(lit_total(), int(texts) + 160 + lit_in(10, 45, 59, 94));

    const uint8_t keys[] = {KEY_LEFT, KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW};
    for (uint8_t key : keys) {
        st.current_screen = screen_message_done;
        st.pending_key = key;
        lcd_clear();
        screen_message_done();
        EXPECT_EQ(st.current_screen, marker_screen) << "key " << int(key);
        EXPECT_EQ(st.pending_key, KEY_NONE);
        EXPECT_TRUE(text_shown(110, 55, "DONE", 16, ALIGN_CENTRE, COLOUR_WHITE)) << "drawn before the key";
    }
}

}  // namespace
