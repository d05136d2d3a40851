// VSI SETUP, driven key by key.
#include <gtest/gtest.h>

#include "screen_harness.h"

using namespace screen_test;

namespace {

void open_vsi_setup(uint8_t cursor = 0)
{
    switch_on();
    open(screen_vsi_setup, cursor);
}

TEST(VsiSetup, FourRowsWrapAndTheThumbFollows)
{
    struct {
        uint8_t from, key, to;
        int thumb_top;
    } cases[] = {
        {0, KEY_CCW, 3, 87}, {3, KEY_CW, 0, 30}, {0, KEY_CW, 1, 49}, {1, KEY_CW, 2, 68},
        {2, KEY_CW, 3, 87},  {2, KEY_CCW, 1, 49},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << int(c.from) << " key " << int(c.key));
        open_vsi_setup(c.from);
        key(c.key);
        EXPECT_EQ(st.menu_cursor, c.to);
        EXPECT_EQ(st.menu_scroll, 0);
        EXPECT_EQ(st.edit_mode, 0);
        EXPECT_EQ(scroll_thumb().top, c.thumb_top);
        EXPECT_EQ(scroll_thumb().height(), 19);
        EXPECT_GT(row_count_colour(c.to, COLOUR_RED), 0);
        EXPECT_EQ(row_count_colour(c.to, COLOUR_WHITE), 0);
    }
}

TEST(VsiSetup, ValueSteps)
{
    struct {
        uint8_t row, key;
        uint8_t* field;
        uint8_t start, expected;
    } cases[] = {
        {0, KEY_CW, &st.vsi_display, 1, 0},     {0, KEY_CCW, &st.vsi_display, 0, 1},
        {1, KEY_CW, &st.vsi_unit, 0, 1},        {1, KEY_CCW, &st.vsi_unit, 0, 1},
        {2, KEY_CW, &st.vsi_scale, 0, 1},       {2, KEY_CW, &st.vsi_scale, 2, 0},
        {2, KEY_CCW, &st.vsi_scale, 0, 2},      {2, KEY_CCW, &st.vsi_scale, 2, 1},
        // VSI CAL stops at both ends and always moves by one.
        {3, KEY_CW, &st.vsi_cal_percent, 149, 150}, {3, KEY_CW, &st.vsi_cal_percent, 150, 150},
        {3, KEY_CCW, &st.vsi_cal_percent, 51, 50},  {3, KEY_CCW, &st.vsi_cal_percent, 50, 50},
        {3, KEY_CW, &st.vsi_cal_percent, 100, 101}, {3, KEY_CCW, &st.vsi_cal_percent, 100, 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << int(c.row) << " from " << int(c.start));
        open_vsi_setup(c.row);
        key(KEY_PUSH);
        ASSERT_EQ(st.edit_mode, 1);
        *c.field = c.start;
        st.edit_step = 10;  // never applies here
        key(c.key);
        EXPECT_EQ(*c.field, c.expected);
        EXPECT_EQ(st.menu_cursor, c.row);
    }
}

TEST(VsiSetup, ScaleNamesFollowTheUnitAndTheIndexStays)
{
    struct {
        uint8_t unit, scale;
        const char* unit_name;
        const char* scale_name;
    } names[] = {
        {0, 0, "ft/min", "1000ft/min"}, {0, 1, "ft/min", "2000ft/min"}, {0, 2, "ft/min", "4000ft/min"},
        {1, 0, "m/s", "5m/s"},          {1, 1, "m/s", "10m/s"},         {1, 2, "m/s", "20m/s"},
    };
    for (const auto& n : names) {
        open_vsi_setup(0);
        st.vsi_unit = n.unit;
        st.vsi_scale = n.scale;
        pass();
        EXPECT_TRUE(row_shows(1, "VSI UNIT: ", n.unit_name));
        EXPECT_TRUE(row_shows(2, "SCALE: ", n.scale_name));
    }

    open_vsi_setup(1);
    st.vsi_scale = 2;
    pass();
    EXPECT_TRUE(row_shows(2, "SCALE: ", "4000ft/min"));
    keys({KEY_PUSH, KEY_CW});
    EXPECT_EQ(st.vsi_unit, 1);
    EXPECT_EQ(st.vsi_scale, 2);
    EXPECT_TRUE(row_shows(2, "SCALE: ", "20m/s"));
    key(KEY_CCW);
    EXPECT_EQ(st.vsi_scale, 2);
    EXPECT_TRUE(row_shows(2, "SCALE: ", "4000ft/min"));
}

TEST(VsiSetup, EveryRowShowsItsValue)
{
    open_vsi_setup(0);
    EXPECT_TRUE(row_shows(0, "VSI DISPLAY: ", "ON"));
    EXPECT_TRUE(row_shows(1, "VSI UNIT: ", "ft/min"));
    EXPECT_TRUE(row_shows(2, "SCALE: ", "1000ft/min"));
    EXPECT_TRUE(row_shows(3, "VSI CAL: ", "100%"));
    st.vsi_display = 0;
    st.vsi_cal_percent = 50;
    pass();
    EXPECT_TRUE(row_shows(0, "VSI DISPLAY: ", "OFF"));
    EXPECT_TRUE(row_shows(3, "VSI CAL: ", "50%"));
    EXPECT_EQ(row_lit(4), 0);
}

TEST(VsiSetup, RightKeyChangesNothing)
{
    for (uint8_t edit = 0; edit < 2; edit++) {
        open_vsi_setup(3);
        if (edit)
            key(KEY_PUSH);
        static uint8_t before[LCD_WIDTH * LCD_HEIGHT];
        memcpy(before, lcd_buffer, sizeof before);
        const instrument_state was = st;
        key(KEY_RIGHT);
        EXPECT_EQ(memcmp(before, lcd_buffer, sizeof before), 0);
        EXPECT_EQ(right_slot_lit(), 0);
        EXPECT_EQ(st.edit_step, was.edit_step);
        EXPECT_EQ(st.edit_mode, was.edit_mode);
        EXPECT_EQ(st.menu_cursor, was.menu_cursor);
        EXPECT_EQ(st.vsi_cal_percent, was.vsi_cal_percent);
        EXPECT_EQ(st.pending_key, KEY_NONE);
    }
}

TEST(VsiSetup, LeavingInEditModeReopensTheMenuOnVsiSetup)
{
    open_vsi_setup(2);
    key(KEY_PUSH);
    ASSERT_EQ(st.edit_mode, 1);
    key(KEY_LEFT);
    EXPECT_EQ(st.current_screen, screen_main_menu);
    EXPECT_EQ(st.menu_cursor, 1);
    EXPECT_EQ(st.edit_mode, 0);
    EXPECT_EQ(st.edit_step, 1);
}

TEST(VsiSetup, ValuesStayInRangeUnderRandomUse)
{
    switch_on();
    random_use(screen_vsi_setup, 4, 20000, 5, [] {
        ASSERT_LE(st.vsi_display, 1);
        ASSERT_LE(st.vsi_unit, 1);
        ASSERT_LE(st.vsi_scale, 2);
        ASSERT_GE(st.vsi_cal_percent, 50);
        ASSERT_LE(st.vsi_cal_percent, 150);
        ASSERT_LT(st.menu_cursor, 4);
        ASSERT_EQ(st.edit_step, 1);
    });
}

}  // namespace
