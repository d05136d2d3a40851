// MAIN MENU, ADC VALUES and INFO, driven key by key through the run-loop pass
// and checked on the LCD pixels and the state record.
#include <gtest/gtest.h>

#include "menu_harness.h"

#include <cstring>
#include <functional>

#include "core/state.h"
#include "gfx/icons.h"
#include "gfx/lcd.h"
#include "gfx/rle.h"
#include "gfx/text.h"
#include "host/pass.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

using namespace menu_test;

bool region_blank(int x0, int y0, int x1, int y1)
{
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (pixel(x, y) != 0)
                return false;
    return true;
}

class MainMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&st, 0, sizeof st);
        host_switch_on();
        pass();
    }

    // Opens the main menu from the main display, as the pilot does.
    void open_menu()
    {
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_main_menu);
    }
};

struct entry_case {
    const char* line_1;
    const char* line_2;
    const uint8_t* const* icon;
    screen_handler opens;
};

const entry_case entries[6] = {
    {"ALT", "SETUP", &icon_alt_setup, screen_alt_setup},
    {"VSI", "SETUP", &icon_vsi_setup, screen_vsi_setup},
    {"ASI", "SETUP", &icon_asi_setup, screen_asi_setup},
    {"TIMERS", "SETUP", &icon_timers_setup, screen_timers_setup},
    {"MISC", "SETUP", &icon_misc_setup, screen_misc_setup},
    {"ADC", "VALUES", &icon_adc_values, screen_adc_values},
};

// Every entry, reached by turning the knob: its caption, icon, scroll thumb,
// title and footer; then the push opens its screen on the first row.
TEST_F(MainMenu, EachEntryShowsItsCaptionIconAndThumbAndOpensItsScreen)
{
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(entries[i].line_1);
        SetUp();
        open_menu();
        for (int turn = 0; turn < i; turn++)
            press(KEY_CW);
        ASSERT_EQ(st.menu_cursor, i);

        EXPECT_TRUE(region_is(60, 45, 152, 100, [&] {
            draw_text(108, 50, entries[i].line_1, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
            draw_text(108, 68, entries[i].line_2, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
        }));
        EXPECT_TRUE(region_is(10, 45, 59, 94, [&] { draw_rle_image(10, 45, *entries[i].icon); }));
        EXPECT_TRUE(region_is(0, 0, 159, 25, [] { draw_title_bar("MAIN MENU", ""); }));
        EXPECT_TRUE(region_is(0, 110, 159, 127, [] { draw_footer(1); }));

        // Thumb: 12 rows from (126 * i + 300) / 10, seven pixels wide.
        const int top = (126 * i + 300) / 10, bottom = top + 12;
        for (int y = 30; y <= 106; y++)
            for (int x = 153; x <= 159; x++) {
                const bool thumb = y >= top && y <= bottom;
                const uint8_t want = thumb || x == 156 ? COLOUR_WHITE : COLOUR_BLACK;
                ASSERT_EQ(pixel(x, y), want) << "scroll bar at (" << x << "," << y << ")";
            }

        st.edit_step = 100;
        st.edit_mode = 1;
        st.menu_scroll = 2;
        host_post_key(KEY_PUSH);
        pass();
        EXPECT_EQ(st.current_screen, entries[i].opens);
        EXPECT_EQ(st.menu_cursor, 0);
        EXPECT_EQ(st.menu_scroll, 0);
        EXPECT_EQ(st.edit_mode, 0);
        EXPECT_EQ(st.edit_step, 1);
        EXPECT_EQ(st.pending_key, KEY_NONE);
    }
}

TEST_F(MainMenu, ThumbOfTheTimersEntryRunsFromRow67To79)
{
    open_menu();
    for (int turn = 0; turn < 3; turn++)
        press(KEY_CW);
    for (int x = 153; x <= 159; x++) {
        EXPECT_EQ(pixel(x, 66), x == 156 ? COLOUR_WHITE : COLOUR_BLACK) << x;
        EXPECT_EQ(pixel(x, 67), COLOUR_WHITE) << x;
        EXPECT_EQ(pixel(x, 79), COLOUR_WHITE) << x;
        EXPECT_EQ(pixel(x, 80), x == 156 ? COLOUR_WHITE : COLOUR_BLACK) << x;
    }
}

TEST_F(MainMenu, KnobWrapsBetweenTheFirstAndTheLastEntry)
{
    open_menu();
    const struct {
        uint8_t key;
        uint8_t cursor;
    } steps[] = {
        {KEY_CCW, 5}, {KEY_CW, 0}, {KEY_CW, 1}, {KEY_CW, 2}, {KEY_CW, 3}, {KEY_CW, 4},
        {KEY_CW, 5},  {KEY_CW, 0}, {KEY_CCW, 5}, {KEY_CCW, 4}, {KEY_CCW, 3},
    };
    for (const auto& step : steps) {
        press(step.key);
        ASSERT_EQ(st.menu_cursor, step.cursor);
        ASSERT_EQ(st.current_screen, &screen_main_menu);
    }
    // CCW on ALT SETUP shows ADC VALUES.
    st.menu_cursor = 0;
    press(KEY_CCW);
    EXPECT_TRUE(region_is(60, 45, 152, 100, [] {
        draw_text(108, 50, "ADC", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
        draw_text(108, 68, "VALUES", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    }));
}

TEST_F(MainMenu, RightKeyIsIgnoredAndLeftReturnsToTheMainDisplay)
{
    open_menu();
    press(KEY_CW);
    press(KEY_CW);
    static uint8_t before[sizeof lcd_buffer];
    memcpy(before, lcd_buffer, sizeof lcd_buffer);
    press(KEY_RIGHT);
    EXPECT_EQ(st.current_screen, &screen_main_menu);
    EXPECT_EQ(st.menu_cursor, 2);
    EXPECT_EQ(st.pending_key, KEY_NONE);
    EXPECT_EQ(memcmp(before, lcd_buffer, sizeof lcd_buffer), 0);

    st.main_page = 2;
    press(KEY_LEFT);
    EXPECT_EQ(st.current_screen, &screen_main);
    EXPECT_EQ(st.menu_cursor, 0);
    EXPECT_EQ(st.main_page, 2);  // the main display comes back on its page
}

TEST_F(MainMenu, CursorBeyondTheLastEntryShowsTheFirstAndOpensNothing)
{
    open_menu();
    st.menu_cursor = 9;
    pass();
    EXPECT_TRUE(region_is(60, 45, 152, 100, [] {
        draw_text(108, 50, "ALT", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
        draw_text(108, 68, "SETUP", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    }));
    // The thumb stays on the track, on the entry shown.
    EXPECT_EQ(pixel(153, 30), COLOUR_WHITE);
    EXPECT_EQ(pixel(153, 43), COLOUR_BLACK);
    EXPECT_TRUE(region_is(0, 108, 159, 127, [] { draw_footer(1); }));
    host_post_key(KEY_PUSH);
    pass();
    EXPECT_EQ(st.current_screen, &screen_main_menu);
    EXPECT_EQ(st.menu_cursor, 9);
    press(KEY_CW);
    EXPECT_EQ(st.menu_cursor, 0);
    st.menu_cursor = 9;
    press(KEY_CCW);
    EXPECT_EQ(st.menu_cursor, 5);
}

// Children that come back with KEY_LEFT select their own entry again.
TEST_F(MainMenu, ChildrenReturnToTheirOwnEntry)
{
    const struct {
        int entry;
        screen_handler child;
    } cases[] = {{0, screen_alt_setup},    {1, screen_vsi_setup},  {2, screen_asi_setup},
                 {3, screen_timers_setup}, {4, screen_misc_setup}, {5, screen_adc_values}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        SetUp();
        open_menu();
        for (int turn = 0; turn < c.entry; turn++)
            press(KEY_CW);
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, c.child);
        press(KEY_LEFT);
        EXPECT_EQ(st.current_screen, &screen_main_menu);
        EXPECT_EQ(st.menu_cursor, c.entry);
        EXPECT_TRUE(region_is(60, 45, 152, 100, [&] {
            draw_text(108, 50, entries[c.entry].line_1, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
            draw_text(108, 68, entries[c.entry].line_2, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
        }));
        press(KEY_PUSH);
        EXPECT_EQ(st.current_screen, c.child);
        EXPECT_EQ(st.menu_cursor, 0);
    }
}

class AdcValues : public MainMenu {
protected:
    void SetUp() override
    {
        MainMenu::SetUp();
        open_menu();
        press(KEY_CCW);
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_adc_values);
    }
};

TEST_F(AdcValues, ReadingFollowsTheAirspeedSliderEveryPass)
{
    EXPECT_TRUE(region_is(0, 0, 159, 25, [] { draw_title_bar("ADC", "VALUES"); }));
    EXPECT_TRUE(region_is(0, 108, 159, 127, [] { draw_footer(2); }));
    for (int adc : {0, 1234, 4096, 7}) {
        SCOPED_TRACE(adc);
        host_set_asi_adc(adc);
        pass();
        EXPECT_EQ(st.asi_adc_sample, adc);
        char text[32];
        snprintf(text, sizeof text, "AIRSPEED: %d ", adc);
        EXPECT_TRUE(region_is(0, 27, 159, 106, [&] { draw_text(0, 27, text, 0, 8, ALIGN_LEFT, COLOUR_WHITE); }));
    }
}

TEST_F(AdcValues, OnlyTheLeftKeyLeavesAndItSelectsTheAdcEntry)
{
    host_set_asi_adc(2048);
    pass();
    static uint8_t before[sizeof lcd_buffer];
    memcpy(before, lcd_buffer, sizeof lcd_buffer);
    for (uint8_t key : {KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW}) {
        SCOPED_TRACE(int(key));
        press(key);
        EXPECT_EQ(st.current_screen, &screen_adc_values);
        EXPECT_EQ(st.pending_key, KEY_NONE);
        EXPECT_EQ(memcmp(before, lcd_buffer, sizeof lcd_buffer), 0);
    }
    press(KEY_LEFT);
    EXPECT_EQ(st.current_screen, &screen_main_menu);
    EXPECT_EQ(st.menu_cursor, 5);
}

class Info : public MainMenu {
protected:
    void SetUp() override
    {
        MainMenu::SetUp();
        open_menu();
        st.menu_cursor = 4;  // MISC SETUP
        press(KEY_PUSH);
        press(KEY_CW);
        press(KEY_CW);  // INFORMATION
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_info);
    }
};

TEST_F(Info, SensorLinesShowOnlyWhenTheSensorIsPresent)
{
    const auto model_and_firmware = [] {
        draw_text(0, 27, "MODEL: KTR-7", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
        draw_text(0, 43, "FIRMWARE: V1.00", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
    };
    st.sensor_temperature = 21.5f;
    st.sensor_pressure = 1013.25f;

    st.alt_sensor_present = 0;
    pass();
    EXPECT_TRUE(region_is(0, 0, 159, 25, [] { draw_title_bar("INFO", ""); }));
    EXPECT_TRUE(region_is(0, 26, 159, 58, model_and_firmware));
    EXPECT_TRUE(region_blank(0, 59, 159, 109));
    EXPECT_TRUE(region_is(0, 108, 159, 127, [] { draw_footer(2); }));

    st.alt_sensor_present = 1;
    pass();
    EXPECT_TRUE(region_is(0, 26, 159, 109, [&] {
        model_and_firmware();
        draw_text(0, 59, "ALT SENSOR: 1", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
        draw_text(0, 75, "TEMP: 21.5\xB0" "C", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
        draw_text(0, 91, "PRESS: 1013.25mB", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
    }));
}

TEST_F(Info, OnlyTheLeftKeyLeavesAndItSelectsInformation)
{
    static uint8_t before[sizeof lcd_buffer];
    memcpy(before, lcd_buffer, sizeof lcd_buffer);
    for (uint8_t key : {KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW}) {
        SCOPED_TRACE(int(key));
        press(key);
        EXPECT_EQ(st.current_screen, &screen_info);
        EXPECT_EQ(st.pending_key, KEY_NONE);
        EXPECT_EQ(memcmp(before, lcd_buffer, sizeof lcd_buffer), 0);
    }
    press(KEY_LEFT);
    EXPECT_EQ(st.current_screen, &screen_misc_setup);
    EXPECT_EQ(st.menu_cursor, 2);
}

}  // namespace
