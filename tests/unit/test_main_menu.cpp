// MAIN MENU, ADC VALUES and INFO, driven key by key through the run-loop pass
// and checked against the gallery's pictures, pixel facts and the state.
#include <cstdio>

#include "screen_harness.h"

namespace {

using namespace screen_test;

class MainMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        switch_on();
        pass();
    }

    // Opens the main menu from the main display, as the pilot does, and
    // turns to an entry.
    void open_menu(int entry = 0)
    {
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_main_menu);
        key(KEY_CW, entry);
    }
};

struct entry_case { const char* picture; screen_handler opens; };

const entry_case entries[MAIN_MENU_ENTRIES] = {
    {"menu_alt_setup", screen_alt_setup},       {"menu_vsi_setup", screen_vsi_setup},
    {"menu_asi_setup", screen_asi_setup},       {"menu_timers_setup", screen_timers_setup},
    {"menu_misc_setup", screen_misc_setup},     {"menu_adc_values", screen_adc_values},
};

// Every entry, reached by turning the knob, as the gallery shows it (caption,
// icon, scroll thumb, title and EXIT footer); the push opens its screen on
// the first row.
TEST_F(MainMenu, EachEntryShowsItsCaptionIconAndThumbAndOpensItsScreen)
{
    for (int i = 0; i < MAIN_MENU_ENTRIES; i++) {
        SCOPED_TRACE(entries[i].picture);
        SetUp();
        open_menu(i);
        ASSERT_EQ(st.menu_cursor, i);
        EXPECT_TRUE(shows_picture(entries[i].picture));  // the thumb 12 rows from (126 * i + 300) / 10

        st.edit_step = 100, st.edit_mode = 1, st.menu_scroll = 2;
        host_post_key(KEY_PUSH);
        pass();
        EXPECT_TRUE(is_at({.screen = entries[i].opens, .cursor = 0, .scroll = 0, .edit = 0, .step = 1}));
        EXPECT_EQ(st.pending_key, KEY_NONE);
    }
}

TEST_F(MainMenu, KnobWrapsBetweenTheFirstAndTheLastEntry)
{
    open_menu();
    const struct { uint8_t key; uint8_t cursor; } steps[] = {
        {KEY_CW, 1},  {KEY_CW, 2},  {KEY_CW, 3},  {KEY_CW, 4}, {KEY_CW, 5}, {KEY_CW, 0}, {KEY_CCW, 5},
        {KEY_CCW, 4}, {KEY_CCW, 3}, {KEY_CW, 4},  {KEY_CW, 5}, {KEY_CW, 0}, {KEY_CCW, 5},
    };
    for (const auto& step : steps) {
        key(step.key);
        ASSERT_TRUE(is_at({.screen = screen_main_menu, .cursor = step.cursor}));
    }
    EXPECT_TRUE(shows_picture("menu_adc_values")) << "CCW on ALT SETUP shows ADC VALUES";
}

TEST_F(MainMenu, RightKeyIsIgnoredAndLeftReturnsToTheMainDisplay)
{
    open_menu(2);
    expect_key_ignored(KEY_RIGHT);

    st.main_page = 2;
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_main, .cursor = 0}));
    EXPECT_EQ(st.main_page, 2);  // the main display comes back on its page
}

TEST_F(MainMenu, CursorBeyondTheLastEntryShowsTheFirstAndOpensNothing)
{
    open_menu();
    st.menu_cursor = 9;
    pass();
    EXPECT_TRUE(shows_picture("menu_alt_setup")) << "the first entry, the thumb on it";
    host_post_key(KEY_PUSH);
    pass();
    EXPECT_TRUE(is_at({.screen = screen_main_menu, .cursor = 9}));
    key(KEY_CW);
    EXPECT_EQ(st.menu_cursor, 0);
    st.menu_cursor = 9;
    key(KEY_CCW);
    EXPECT_EQ(st.menu_cursor, 5);
}

// Children that come back with KEY_LEFT select their own entry again.
TEST_F(MainMenu, ChildrenReturnToTheirOwnEntry)
{
    for (int i = 0; i < MAIN_MENU_ENTRIES; i++) {
        SCOPED_TRACE(entries[i].picture);
        SetUp();
        open_menu(i);
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, entries[i].opens);
        key(KEY_LEFT);
        EXPECT_TRUE(is_at({.screen = screen_main_menu, .cursor = i}));
        EXPECT_TRUE(shows_picture(entries[i].picture));
        key(KEY_PUSH);
        EXPECT_TRUE(is_at({.screen = entries[i].opens, .cursor = 0}));
    }
}

class AdcValues : public MainMenu {
protected:
    void SetUp() override
    {
        MainMenu::SetUp();
        open_menu(MAIN_MENU_ADC_VALUES);
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_adc_values);
    }
};

TEST_F(AdcValues, ReadingFollowsTheAirspeedSliderEveryPass)
{
    // The whole page at 1234 and 4096 is in the gallery's pictures.
    for (int adc : {0, 1234, 4096, 7}) {
        SCOPED_TRACE(adc);
        host_set_asi_adc(adc);
        pass();
        EXPECT_EQ(st.asi_adc_sample, adc);
        char text[32];
        snprintf(text, sizeof text, "AIRSPEED: %d ", adc);
        EXPECT_TRUE(texts_fill(0, 26, 159, 106, 27, {text}));
    }
}

TEST_F(AdcValues, OnlyTheLeftKeyLeavesAndItSelectsTheAdcEntry)
{
    host_set_asi_adc(2048);
    pass();
    expect_only_left_leaves(screen_main_menu, MAIN_MENU_ADC_VALUES);
}

class Info : public MainMenu {
protected:
    void SetUp() override
    {
        MainMenu::SetUp();
        open_menu(MAIN_MENU_MISC_SETUP);
        keys({KEY_PUSH, KEY_CW, KEY_CW, KEY_PUSH});  // MISC SETUP, INFORMATION
        ASSERT_EQ(st.current_screen, &screen_info);
    }
};

TEST_F(Info, SensorLinesShowOnlyWhenTheSensorIsPresent)
{
    st.sensor_temperature = 21.5f, st.sensor_pressure = 1013.25f, st.alt_sensor_present = 0;
    pass();
    EXPECT_TRUE(shows_picture("info"));

    st.alt_sensor_present = 1;
    pass();
    EXPECT_TRUE(shows_picture("info", 0, 0, 159, 58)) << "title, model and firmware as before";
    EXPECT_TRUE(texts_fill(0, 59, 159, 74, 59, {"ALT SENSOR: 1"}));
    EXPECT_TRUE(texts_fill(0, 75, 159, 90, 75, {"TEMP: 21.5\xB0" "C"}));
    EXPECT_TRUE(texts_fill(0, 91, 159, 106, 91, {"PRESS: 1013.25mB"}));
}

TEST_F(Info, OnlyTheLeftKeyLeavesAndItSelectsInformation)
{
    expect_only_left_leaves(screen_misc_setup, MISC_ROW_INFORMATION);
}

}  // namespace
