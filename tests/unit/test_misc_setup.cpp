// MISC SETUP, BACKLIGHT and LOAD DEFAULT SETTINGS?, driven key by key
// through the run-loop pass and checked against the gallery's pictures, pixel
// facts and the state.
#include "screen_harness.h"

namespace {

using namespace screen_test;

// MISC SETUP with the cursor on each row, as the gallery shows it.
const char* const misc_pictures[MISC_ROWS] = {"misc_setup_backlight", "misc_setup_security",
                                              "misc_setup_information", "misc_setup_defaults"};

class Misc : public ::testing::Test {
protected:
    void SetUp() override
    {
        switch_on();
        pass();
        key(KEY_PUSH);  // MAIN MENU
        key(KEY_CW, MAIN_MENU_MISC_SETUP);
        key(KEY_PUSH);
        ASSERT_TRUE(is_at({.screen = screen_misc_setup, .cursor = 0}));
    }

    void select_row(uint8_t row)
    {
        while (st.menu_cursor != row)
            key(KEY_CW);
    }
};

TEST_F(Misc, RowsThumbAndFurnitureFollowTheCursor)
{
    for (uint8_t cursor = 0; cursor < MISC_ROWS; cursor++) {
        SCOPED_TRACE(int(cursor));
        select_row(cursor);
        EXPECT_TRUE(shows_picture(misc_pictures[cursor]));  // four entries: a 19-row thumb at 30, 49, 68 or 87
    }
}

TEST_F(Misc, KnobWrapsAndTheRightKeyDoesNothing)
{
    const struct { uint8_t key, cursor; } steps[] = {
        {KEY_CCW, 3}, {KEY_CW, 0},    {KEY_CW, 1},  {KEY_CW, 2},    {KEY_CW, 3},
        {KEY_CW, 0},  {KEY_RIGHT, 0}, {KEY_CCW, 3}, {KEY_RIGHT, 3}, {KEY_CCW, 2}};
    for (const auto& s : steps) {
        key(s.key);
        ASSERT_TRUE(is_at({.screen = screen_misc_setup, .cursor = s.cursor}));
        ASSERT_EQ(st.pending_key, KEY_NONE);
    }
}

// Each entry opens its page, and every way back selects that entry again.
TEST_F(Misc, EntriesOpenTheirPagesAndComeBackToTheirRow)
{
    const struct { const char* name; uint8_t row; screen_handler page; uint8_t leave; } cases[] = {
        {"backlight, left", 0, screen_backlight, KEY_LEFT}, {"backlight, push", 0, screen_backlight, KEY_PUSH},
        {"security setup", 1, screen_security_setup, KEY_LEFT}, {"information", 2, screen_info, KEY_LEFT},
        {"default settings, no", 3, screen_defaults_confirm, KEY_LEFT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        select_row(c.row);
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, c.page);
        if (c.page != screen_backlight) {
            EXPECT_EQ(st.menu_cursor, 0);
        }
        key(c.leave);
        EXPECT_TRUE(is_at({.screen = screen_misc_setup, .cursor = c.row, .edit = 0}));
        EXPECT_TRUE(shows_picture(misc_pictures[c.row]));
    }
}

class Backlight : public Misc {
protected:
    void SetUp() override
    {
        Misc::SetUp();
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_backlight);
    }
};

TEST_F(Backlight, LevelStopsAtTenAndAtOneHundred)
{
    ASSERT_EQ(st.backlight_level, 100);
    key(KEY_CW);
    EXPECT_EQ(st.backlight_level, 100);
    for (int level = 90; level >= 10; level -= 10) {
        key(KEY_CCW);
        EXPECT_EQ(st.backlight_level, level);
    }
    key(KEY_CCW);
    EXPECT_EQ(st.backlight_level, 10);
    key(KEY_RIGHT);
    EXPECT_EQ(st.backlight_level, 10);
    EXPECT_EQ(st.current_screen, &screen_backlight);
    key(KEY_CW);
    EXPECT_EQ(st.backlight_level, 20);
}

TEST_F(Backlight, BarFillsTheFrameUpToTheLevel)
{
    // The frame (10, 83)-(150, 95) in white, red inside it up to x 9 + 1.4 * level;
    // the whole page at 100, 50 and 10 is in the gallery's pictures.
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
                ASSERT_EQ(px(x, y), want) << x << "," << y;
            }
    }
}

class Defaults : public Misc {
protected:
    void SetUp() override
    {
        Misc::SetUp();
        select_row(MISC_ROW_DEFAULT_SETTINGS);
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_defaults_confirm);
    }

    // Settings, calibration and the maximum airspeed all away from their
    // factory values.
    void change_everything()
    {
        st.backlight_level = 30, st.security_enabled = 1, st.security_code = 4821, st.altitude_unit = 1;
        st.qnh = 1020000, st.asi_unit = 2, st.speed_limits[VNE] = 300, st.vsi_display = 0;
        st.takeoff_airspeed = 45, st.max_airspeed = 160;
        st.altitude_cal_offset = -75, st.asi_cal_percent = 120, st.asi_zero_offset = 333, st.vsi_cal_percent = 80;
    }
};

TEST_F(Defaults, QuestionPageLayout)
{
    EXPECT_TRUE(shows_picture("defaults_question"));
}

TEST_F(Defaults, YesRestoresTheSettingsAndKeepsTheCalibration)
{
    change_everything();
    key(KEY_RIGHT);
    ASSERT_EQ(st.current_screen, &screen_message_done);
    EXPECT_TRUE(fields_are({{"backlight_level", st.backlight_level, 100}, {"security_enabled", st.security_enabled, 0},
                            {"security_code", st.security_code, FACTORY_SECURITY_CODE},
                            {"altitude_unit", st.altitude_unit, 0}, {"qnh", long(st.qnh), 1013250},
                            {"asi_unit", st.asi_unit, 0}, {"Vne", st.speed_limits[VNE], 220},
                            {"vsi_display", st.vsi_display, 1}, {"takeoff_airspeed", st.takeoff_airspeed, 30},
                            {"max_airspeed", st.max_airspeed, 0}}))
        << "the settings back at their factory values";
    EXPECT_TRUE(fields_are({{"altitude_cal_offset", st.altitude_cal_offset, -75},
                            {"asi_cal_percent", st.asi_cal_percent, 120}, {"asi_zero_offset", st.asi_zero_offset, 333},
                            {"vsi_cal_percent", st.vsi_cal_percent, 80}}))
        << "the calibration as it was";

    // DONE, then any key: MISC SETUP on DEFAULT SETTINGS.
    key(KEY_CCW);
    EXPECT_TRUE(is_at({.screen = screen_misc_setup, .cursor = 3}));
    EXPECT_TRUE(shows_picture("misc_setup_defaults"));
}

TEST_F(Defaults, OnlyYesLoadsAndOnlyNoOrYesLeave)
{
    change_everything();
    const instrument_state before = st;
    for (uint8_t k : {KEY_PUSH, KEY_CW, KEY_CCW})
        expect_key_ignored(k);
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_misc_setup, .cursor = 3}));
    EXPECT_TRUE(fields_are({{"backlight_level", st.backlight_level, before.backlight_level},
                            {"security_code", st.security_code, before.security_code},
                            {"qnh", long(st.qnh), long(before.qnh)},
                            {"max_airspeed", st.max_airspeed, before.max_airspeed}}));
}

}  // namespace
