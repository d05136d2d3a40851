// MISC SETUP, BACKLIGHT and LOAD DEFAULT SETTINGS?, driven key by key
// through the run-loop pass and checked on the LCD and the state record.
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

const char* const misc_rows[4] = {"BACKLIGHT", "SECURITY SETUP", "INFORMATION", "DEFAULT SETTINGS"};

class Misc : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&st, 0, sizeof st);
        host_switch_on();
        pass();
        press(KEY_PUSH);  // MAIN MENU
        for (int i = 0; i < 4; i++)
            press(KEY_CW);
        press(KEY_PUSH);  // MISC SETUP
        ASSERT_EQ(st.current_screen, &screen_misc_setup);
        ASSERT_EQ(st.menu_cursor, 0);
    }

    void select_row(uint8_t row)
    {
        while (st.menu_cursor != row)
            press(KEY_CW);
    }
};

TEST_F(Misc, RowsThumbAndFurnitureFollowTheCursor)
{
    for (uint8_t cursor = 0; cursor < 4; cursor++) {
        SCOPED_TRACE(int(cursor));
        select_row(cursor);
        EXPECT_TRUE(region_is(0, 0, 159, 25, [] { draw_title_bar("MISC", "SETUP"); }));
        EXPECT_TRUE(region_is(0, 26, 150, 109, [&] {
            for (int i = 0; i < 4; i++)
                draw_text(0, uint16_t(27 + 16 * i), misc_rows[i], 0, 8, ALIGN_LEFT,
                          i == cursor ? COLOUR_RED : COLOUR_WHITE);
        }));
        EXPECT_TRUE(region_is(0, 110, 159, 127, [] { draw_footer(2); }));
        // Four entries: a 19-row thumb at 30, 49, 68 or 87.
        const int top = 30 + 19 * cursor, bottom = top + 19;
        for (int y = 30; y <= 106; y++)
            for (int x = 153; x <= 159; x++) {
                const bool thumb = y >= top && y <= bottom;
                ASSERT_EQ(pixel(x, y), thumb || x == 156 ? COLOUR_WHITE : COLOUR_BLACK) << x << "," << y;
            }
    }
}

TEST_F(Misc, KnobWrapsAndTheRightKeyDoesNothing)
{
    const struct {
        uint8_t key;
        uint8_t cursor;
    } steps[] = {{KEY_CCW, 3}, {KEY_CW, 0}, {KEY_CW, 1}, {KEY_CW, 2}, {KEY_CW, 3},
                 {KEY_CW, 0},  {KEY_RIGHT, 0}, {KEY_CCW, 3}, {KEY_RIGHT, 3}, {KEY_CCW, 2}};
    for (const auto& s : steps) {
        press(s.key);
        ASSERT_EQ(st.menu_cursor, s.cursor);
        ASSERT_EQ(st.current_screen, &screen_misc_setup);
        ASSERT_EQ(st.pending_key, KEY_NONE);
    }
    press(KEY_LEFT);
    EXPECT_EQ(st.current_screen, &screen_main_menu);
    EXPECT_EQ(st.menu_cursor, 4);
}

// Each entry opens its page, and every way back selects that entry again.
TEST_F(Misc, EntriesOpenTheirPagesAndComeBackToTheirRow)
{
    const struct {
        const char* name;
        uint8_t row;
        screen_handler page;
        uint8_t leave;
    } cases[] = {
        {"backlight, left", 0, screen_backlight, KEY_LEFT},
        {"backlight, push", 0, screen_backlight, KEY_PUSH},
        {"security setup", 1, screen_security_setup, KEY_LEFT},
        {"information", 2, screen_info, KEY_LEFT},
        {"default settings, no", 3, screen_defaults_confirm, KEY_LEFT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        select_row(c.row);
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, c.page);
        if (c.page != screen_backlight) {
            EXPECT_EQ(st.menu_cursor, 0);
        }
        press(c.leave);
        EXPECT_EQ(st.current_screen, &screen_misc_setup);
        EXPECT_EQ(st.menu_cursor, c.row);
        EXPECT_EQ(st.edit_mode, 0);
        EXPECT_TRUE(region_is(0, 26, 150, 109, [&] {
            for (int i = 0; i < 4; i++)
                draw_text(0, uint16_t(27 + 16 * i), misc_rows[i], 0, 8, ALIGN_LEFT,
                          i == c.row ? COLOUR_RED : COLOUR_WHITE);
        }));
    }
}

class Backlight : public Misc {
protected:
    void SetUp() override
    {
        Misc::SetUp();
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_backlight);
    }
};

TEST_F(Backlight, LevelStopsAtTenAndAtOneHundred)
{
    ASSERT_EQ(st.backlight_level, 100);
    press(KEY_CW);
    EXPECT_EQ(st.backlight_level, 100);
    for (int level = 90; level >= 10; level -= 10) {
        press(KEY_CCW);
        EXPECT_EQ(st.backlight_level, level);
    }
    press(KEY_CCW);
    EXPECT_EQ(st.backlight_level, 10);
    press(KEY_RIGHT);
    EXPECT_EQ(st.backlight_level, 10);
    EXPECT_EQ(st.current_screen, &screen_backlight);
    press(KEY_CW);
    EXPECT_EQ(st.backlight_level, 20);
}

TEST_F(Backlight, BarFillsTheFrameUpToTheLevel)
{
    EXPECT_TRUE(region_is(0, 0, 159, 25, [] { draw_title_bar("BACKLIGHT", ""); }));
    EXPECT_TRUE(region_is(0, 26, 159, 80, [] {
        draw_text(80, 30, "USE THE ROTARY", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
        draw_text(80, 45, "CONTROL TO ADJUST", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
        draw_text(80, 60, "THE BACKLIGHT", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    }));
    EXPECT_TRUE(region_is(0, 110, 159, 127, [] { draw_footer(2); }));

    const int ends[10] = {23, 37, 51, 65, 79, 93, 107, 121, 135, 149};
    for (int i = 0; i < 10; i++) {
        const int level = 10 * (i + 1);
        SCOPED_TRACE(level);
        st.backlight_level = uint8_t(level);
        pass();
        for (int y = 81; y <= 97; y++)
            for (int x = 0; x <= 159; x++) {
                const bool frame = (x == 10 || x == 150) && y >= 83 && y <= 95;
                const bool frame_row = (y == 83 || y == 95) && x >= 10 && x <= 150;
                const bool fill = x > 10 && x <= ends[i] && y > 83 && y < 95;
                const uint8_t want = frame || frame_row ? COLOUR_WHITE : fill ? COLOUR_RED : COLOUR_BLACK;
                ASSERT_EQ(pixel(x, y), want) << x << "," << y;
            }
    }
}

class Defaults : public Misc {
protected:
    void SetUp() override
    {
        Misc::SetUp();
        select_row(3);
        press(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_defaults_confirm);
    }

    // Settings, calibration and the maximum airspeed all away from their
    // factory values.
    void change_everything()
    {
        st.backlight_level = 30;
        st.security_enabled = 1;
        st.security_code = 4821;
        st.altitude_unit = 1;
        st.qnh = 1020000;
        st.asi_unit = 2;
        st.speed_limits[VNE] = 300;
        st.vsi_display = 0;
        st.takeoff_airspeed = 45;
        st.max_airspeed = 160;
        st.altitude_cal_offset = -75;
        st.asi_cal_percent = 120;
        st.asi_zero_offset = 333;
        st.vsi_cal_percent = 80;
    }
};

TEST_F(Defaults, QuestionPageLayout)
{
    EXPECT_TRUE(region_is(0, 0, 159, 25, [] { draw_title_bar("MESSAGE", ""); }));
    EXPECT_TRUE(region_is(5, 42, 54, 91, [] { draw_rle_image(5, 42, icon_question); }));
    EXPECT_TRUE(region_is(60, 26, 159, 109, [] {
        draw_text(110, 35, "LOAD", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
        draw_text(110, 58, "DEFAULT", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
        draw_text(110, 81, "SETTINGS?", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    }));
    EXPECT_TRUE(region_is(0, 110, 159, 127, [] { draw_no_yes_footer(); }));
}

TEST_F(Defaults, YesRestoresTheSettingsAndKeepsTheCalibration)
{
    change_everything();
    press(KEY_RIGHT);
    ASSERT_EQ(st.current_screen, &screen_message_done);
    EXPECT_EQ(st.return_screen, &screen_misc_setup);
    EXPECT_EQ(st.backlight_level, 100);
    EXPECT_EQ(st.security_enabled, 0);
    EXPECT_EQ(st.security_code, FACTORY_SECURITY_CODE);
    EXPECT_EQ(st.altitude_unit, 0);
    EXPECT_EQ(st.qnh, 1013250u);
    EXPECT_EQ(st.asi_unit, 0);
    EXPECT_EQ(st.speed_limits[VNE], 220);
    EXPECT_EQ(st.vsi_display, 1);
    EXPECT_EQ(st.takeoff_airspeed, 30);
    EXPECT_EQ(st.max_airspeed, 0);
    EXPECT_EQ(st.altitude_cal_offset, -75);
    EXPECT_EQ(st.asi_cal_percent, 120);
    EXPECT_EQ(st.asi_zero_offset, 333);
    EXPECT_EQ(st.vsi_cal_percent, 80);

    // DONE, then any key: MISC SETUP on DEFAULT SETTINGS.
    press(KEY_CCW);
    EXPECT_EQ(st.current_screen, &screen_misc_setup);
    EXPECT_EQ(st.menu_cursor, 3);
    EXPECT_TRUE(region_is(0, 26, 150, 109, [] {
        for (int i = 0; i < 4; i++)
            draw_text(0, uint16_t(27 + 16 * i), misc_rows[i], 0, 8, ALIGN_LEFT, i == 3 ? COLOUR_RED : COLOUR_WHITE);
    }));
}

TEST_F(Defaults, OnlyYesLoadsAndOnlyNoOrYesLeave)
{
    change_everything();
    const instrument_state before = st;
    for (uint8_t key : {KEY_PUSH, KEY_CW, KEY_CCW}) {
        SCOPED_TRACE(int(key));
        press(key);
        EXPECT_EQ(st.current_screen, &screen_defaults_confirm);
        EXPECT_EQ(st.pending_key, KEY_NONE);
    }
    press(KEY_LEFT);
    EXPECT_EQ(st.current_screen, &screen_misc_setup);
    EXPECT_EQ(st.menu_cursor, 3);
    EXPECT_EQ(st.backlight_level, before.backlight_level);
    EXPECT_EQ(st.security_code, before.security_code);
    EXPECT_EQ(st.qnh, before.qnh);
    EXPECT_EQ(st.max_airspeed, before.max_airspeed);
}

}  // namespace
