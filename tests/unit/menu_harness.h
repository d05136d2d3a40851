// Shared helpers of the menu, misc and security tests: passes with keys as
// the host posts them, and LCD regions compared with an expected drawing.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/state.h"
#include "gfx/lcd.h"
#include "host/pass.h"

namespace menu_test {

inline uint32_t passes_presented = 0;

inline const host_io quiet_io = {
    [](bool) {},
    [] { return true; },
    [](const char*) {},
    [] { passes_presented++; },
    [] {},
};

inline void pass()
{
    run_pass(quiet_io);
}

// A key as the host posts it, and the pass that acts on it; then one more
// pass, so that the LCD shows the screen the key led to.
inline void press(uint8_t key)
{
    host_post_key(key);
    pass();
    pass();
}

inline uint8_t pixel(int x, int y)
{
    return lcd_buffer[y * LCD_WIDTH + x];
}

// Compares the LCD region (x0, y0)-(x1, y1) with what draw_expected draws on
// an empty buffer. Fails when the expectation draws nothing in the region, so
// a renderer that draws nothing cannot make it pass.
inline ::testing::AssertionResult region_is(int x0, int y0, int x1, int y1,
                                            const std::function<void()>& draw_expected)
{
    static uint8_t shown[sizeof lcd_buffer];
    memcpy(shown, lcd_buffer, sizeof lcd_buffer);
    const uint16_t start = st.text_start_x, end = st.text_end_x;
    lcd_clear();
    draw_expected();
    int lit = 0, first_x = -1, first_y = -1, want = 0, got = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            const uint8_t e = lcd_buffer[y * LCD_WIDTH + x], s = shown[y * LCD_WIDTH + x];
            lit += e != 0;
            if (e != s && first_x < 0) {
                first_x = x, first_y = y, want = e, got = s;
            }
        }
    memcpy(lcd_buffer, shown, sizeof lcd_buffer);
    st.text_start_x = start;
    st.text_end_x = end;
    if (lit == 0)
        return ::testing::AssertionFailure() << "the expected picture is empty in the region";
    if (first_x >= 0)
        return ::testing::AssertionFailure() << "pixel (" << first_x << "," << first_y << ") is " << got
                                             << ", expected " << want;
    return ::testing::AssertionSuccess();
}

}  // namespace menu_test
