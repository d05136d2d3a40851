// Shared helpers of the setup-page tests: switching on, running passes with
// keys as the host posts them, and reading rows, the scroll bar and the step
// label back from the LCD.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"
#include "host/pass.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace setup_test {

inline std::string last_sentence;
inline int sentence_count = 0;

inline void io_lamp(bool) {}
inline bool io_sensor() { return true; }
inline void io_append(const char* line)
{
    last_sentence = line;
    sentence_count++;
}
inline void io_nothing() {}
inline const host_io io = {io_lamp, io_sensor, io_append, io_nothing, io_nothing};

inline void pass()
{
    run_pass(io);
}

// Program start, then "On".
inline void switch_on()
{
    memset(&st, 0, sizeof st);
    host_switch_on();
    last_sentence.clear();
    sentence_count = 0;
}

// Puts a page on screen as the main menu opens it, cursor on the given row,
// and draws it once.
inline void open(screen_handler screen, uint8_t cursor = 0)
{
    st.current_screen = screen;
    reset_menu_cursor(cursor);
    pass();
}

// One key as the host posts it: the pass that handles it, then the pass that
// shows its effect.
inline void key(uint8_t k)
{
    host_post_key(k);
    pass();
    pass();
}

inline void keys(std::initializer_list<uint8_t> ks)
{
    for (uint8_t k : ks)
        key(k);
}

inline uint8_t px(int x, int y)
{
    return lcd_buffer[y * LCD_WIDTH + x];
}

inline int count_colour(int x0, int y0, int x1, int y1, uint8_t colour)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += px(x, y) == colour;
    return n;
}

inline int count_lit(int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += px(x, y) != 0;
    return n;
}

// The band of list line 0..4, left of the scroll bar.
constexpr int ROW_X1 = 150;
inline int row_top(int line)
{
    return 27 + 16 * line;
}
inline int row_bottom(int line)
{
    return line == 4 ? 109 : row_top(line) + 15;
}
inline int row_count_colour(int line, uint8_t colour)
{
    return count_colour(0, row_top(line), ROW_X1, row_bottom(line), colour);
}
inline int row_lit(int line)
{
    return count_lit(0, row_top(line), ROW_X1, row_bottom(line));
}

// Whether the screen's lit pixels in a rectangle are exactly those of the
// texts that draw() renders on an empty screen. The rectangle must hold some
// lit pixels, so an empty screen never passes.
template <typename Draw>
::testing::AssertionResult region_shows(int x0, int y0, int x1, int y1, Draw draw)
{
    static uint8_t saved[LCD_WIDTH * LCD_HEIGHT];
    memcpy(saved, lcd_buffer, sizeof saved);
    const uint16_t start = st.text_start_x, end = st.text_end_x;
    lcd_clear();
    draw();
    int differing = 0, lit = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            const bool want = lcd_buffer[y * LCD_WIDTH + x] != 0;
            const bool have = saved[y * LCD_WIDTH + x] != 0;
            differing += want != have;
            lit += have;
        }
    memcpy(lcd_buffer, saved, sizeof saved);
    st.text_start_x = start;
    st.text_end_x = end;
    if (lit == 0)
        return ::testing::AssertionFailure() << "nothing drawn in (" << x0 << "," << y0 << ")-(" << x1 << "," << y1
                                             << ")";
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ from the expected text";
    return ::testing::AssertionSuccess();
}

// List line shows label immediately followed by value.
inline ::testing::AssertionResult row_shows(int line, const char* label, const char* value = "")
{
    return region_shows(0, row_top(line), ROW_X1, row_bottom(line), [&] {
        draw_text(0, uint16_t(row_top(line)), label, 0, 8, ALIGN_LEFT, COLOUR_WHITE);
        draw_text(st.text_end_x, uint16_t(row_top(line)), value, 0, 8, ALIGN_LEFT, COLOUR_WHITE);
    }) << " on line " << line << " (expected \"" << label << value << "\")";
}

// The right footer slot, where the step label goes.
inline int right_slot_lit()
{
    return count_lit(107, 111, 159, 127);
}
inline ::testing::AssertionResult step_label_shows(const char* text)
{
    return region_shows(107, 111, 159, 127,
                        [&] { draw_text(134, 112, text, 0, 8, ALIGN_CENTRE, COLOUR_WHITE); })
           << " (expected step label \"" << text << "\")";
}

// The scroll-bar thumb read from its outer column (the track is at x 156).
struct thumb {
    int top = -1, bottom = -1;
    int height() const { return bottom - top; }
};
inline thumb scroll_thumb()
{
    thumb t;
    for (int y = 26; y < 110; y++)
        if (px(159, y) == COLOUR_WHITE) {
            if (t.top < 0)
                t.top = y;
            t.bottom = y;
        }
    return t;
}

inline bool speed_limits_ordered()
{
    const uint16_t* v = st.speed_limits;
    return 10 <= v[VS0] && v[VS0] <= v[VS1] && v[VS1] <= v[VFE] && v[VFE] <= v[VNO] && v[VNO] <= v[VNE] &&
           v[VNE] <= 500;
}

// Random keys on one page, mostly staying on it (a page left is reopened on a
// random row); check() runs after every pass and stops at its first failure.
template <typename Check>
void random_use(screen_handler page, uint8_t rows, int passes, unsigned seed, Check check)
{
    std::mt19937 random(seed);
    const uint8_t all_keys[] = {KEY_LEFT, KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW};
    open(page, 0);
    for (int i = 0; i < passes; i++) {
        uint8_t k = all_keys[random() % 5];
        if (k == KEY_LEFT && random() % 8)
            k = KEY_CW;
        host_post_key(k);
        pass();
        SCOPED_TRACE(testing::Message() << "pass " << i);
        check();
        if (::testing::Test::HasFatalFailure())
            return;
        if (st.current_screen != page)
            open(page, uint8_t(random() % rows));
    }
}

}  // namespace setup_test
