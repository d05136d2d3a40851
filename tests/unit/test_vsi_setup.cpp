// VSI SETUP, driven key by key and checked against the gallery's pictures,
// pixel facts and the state.
#include "screen_harness.h"

using namespace screen_test;

namespace {

void open_vsi_setup(uint8_t cursor = 0) { switch_on_and_open(screen_vsi_setup, cursor); }

TEST(VsiSetup, FourRowsWrapAndTheThumbFollows)
{
    expect_cursor_moves(open_vsi_setup, 1,
                        {{0, KEY_CCW, 3, 0, 87, 19}, {3, KEY_CW, 0, 0, 30, 19}, {0, KEY_CW, 1, 0, 49, 19},
                         {1, KEY_CW, 2, 0, 68, 19}, {2, KEY_CW, 3, 0, 87, 19}, {2, KEY_CCW, 1, 0, 49, 19}});
}

// VSI CAL stops at both ends and always moves by one; X10 never applies here.
TEST(VsiSetup, ValueSteps)
{
    const uint8_t CW = KEY_CW, CCW = KEY_CCW;
    expect_value_steps(open_vsi_setup,
                       {{0, &st.vsi_display, {{CW, 1, 0}, {CCW, 0, 1}}},
                        {1, &st.vsi_unit, {{CW, 0, 1}, {CCW, 0, 1}}},
                        {2, &st.vsi_scale, {{CW, 0, 1}, {CW, 2, 0}, {CCW, 0, 2}, {CCW, 2, 1}}},
                        {3, &st.vsi_cal_percent,
                         {{CW, 149, 150}, {CW, 150, 150}, {CCW, 51, 50}, {CCW, 50, 50}, {CW, 100, 101}, {CCW, 100, 99}}}},
                       10);
}

TEST(VsiSetup, ScaleNamesFollowTheUnitAndTheIndexStays)
{
    struct { uint8_t unit, scale; const char* unit_name; const char* scale_name; } names[] = {
        {0, 0, "ft/min", "1000ft/min"}, {0, 1, "ft/min", "2000ft/min"}, {0, 2, "ft/min", "4000ft/min"},
        {1, 0, "m/s", "5m/s"},          {1, 1, "m/s", "10m/s"},         {1, 2, "m/s", "20m/s"},
    };
    for (const auto& n : names) {
        open_vsi_setup(0);
        st.vsi_unit = n.unit, st.vsi_scale = n.scale;
        pass();
        EXPECT_TRUE(row_shows(1, "VSI UNIT: ", n.unit_name));
        EXPECT_TRUE(row_shows(2, "SCALE: ", n.scale_name));
    }

    open_vsi_setup(1);
    st.vsi_scale = 2;
    pass();
    EXPECT_TRUE(row_shows(2, "SCALE: ", "4000ft/min"));
    keys({KEY_PUSH, KEY_CW});
    EXPECT_TRUE(row_shows(2, "SCALE: ", "20m/s"));
    key(KEY_CCW);
    EXPECT_EQ(st.vsi_scale, 2);
    EXPECT_TRUE(row_shows(2, "SCALE: ", "4000ft/min"));
}

TEST(VsiSetup, EveryRowShowsItsValue)
{
    open_vsi_setup(0);
    EXPECT_TRUE(shows_picture("vsi_setup")) << "ON, ft/min, 1000ft/min, 100%";
    st.vsi_display = 0, st.vsi_cal_percent = 50;
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
        expect_key_ignored(KEY_RIGHT);
        EXPECT_EQ(right_slot_lit(), 0);
        EXPECT_EQ(st.vsi_cal_percent, 100);
    }
}

TEST(VsiSetup, LeavingInEditModeReopensTheMenuOnVsiSetup)
{
    open_vsi_setup(2);
    expect_leaving_to_main_menu(MAIN_MENU_VSI_SETUP);
}

TEST(VsiSetup, ValuesStayInRangeUnderRandomUse)
{
    random_use(screen_vsi_setup, 4, 20000, 5, [] {
        ASSERT_TRUE(settings_in_range());
        ASSERT_LE(st.menu_cursor, 3);
        ASSERT_EQ(st.edit_step, 1);
    });
}

}  // namespace
