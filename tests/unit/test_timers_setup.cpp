// TIMERS SETUP, driven key by key and checked against the gallery's
// pictures, pixel facts and the state.
#include "screen_harness.h"

using namespace screen_test;

namespace {

void open_timers(uint8_t mode, uint8_t row = 0) { switch_on_and_open(screen_timers_setup, row, &st.flight_timer_mode, mode); }

TEST(TimersSetup, ManualHasOneRowAndTheKnobOnlyResetsTheStep)
{
    for (uint8_t k : {KEY_CW, KEY_CCW}) {
        open_timers(0);
        EXPECT_TRUE(shows_picture("timers_setup_manual")) << "one row, the thumb over the whole track";
        key(KEY_RIGHT);
        EXPECT_EQ(st.edit_step, 10);
        EXPECT_EQ(right_slot_lit(), 0);  // no label on the FLIGHT row
        key(k);
        EXPECT_TRUE(is_at({.cursor = 0, .step = 1}));
        EXPECT_EQ(st.flight_timer_mode, 0);
    }
}

TEST(TimersSetup, DetectMakesTheTakeOffRowAppear)
{
    open_timers(0);
    keys({KEY_PUSH, KEY_CW});
    EXPECT_EQ(st.flight_timer_mode, 1);
    EXPECT_TRUE(is_at({.cursor = 0, .edit = 1}));
    EXPECT_TRUE(shows_picture("timers_setup_detect_edit")) << "T/O AIRSPEED 30 below, a 38-row thumb";
    key(KEY_CCW);  // toggles back
    EXPECT_EQ(st.flight_timer_mode, 0);
    EXPECT_EQ(row_lit(1), 0);
}

TEST(TimersSetup, CursorMovesBetweenTheTwoRowsInDetect)
{
    expect_cursor_moves([](uint8_t row) { open_timers(1, row); }, 100,
                        {{0, KEY_CW, 1, 0, 68, 38}, {1, KEY_CW, 0, 0, 30, 38}, {0, KEY_CCW, 1, 0, 68, 38},
                         {1, KEY_CCW, 0, 0, 30, 38}});
}

TEST(TimersSetup, TakeOffAirspeedWrapsOverZeroToFiveHundred)
{
    // rights: 0 for X1, 1 for X10, 2 for X100.
    struct { uint16_t start; uint8_t rights, key; uint16_t expected; const char* step_label; } cases[] = {
        {450, 2, KEY_CW, 0, "X100"},  {500, 0, KEY_CW, 0, "X1"},     {0, 0, KEY_CCW, 500, "X1"},
        {50, 2, KEY_CCW, 500, "X100"}, {400, 2, KEY_CW, 500, "X100"}, {100, 2, KEY_CCW, 0, "X100"},
        {30, 1, KEY_CW, 40, "X10"},   {5, 1, KEY_CCW, 500, "X10"},   {495, 1, KEY_CW, 0, "X10"},
        {0, 2, KEY_CW, 100, "X100"},  {499, 0, KEY_CW, 500, "X1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " step " << c.step_label << " key " << int(c.key));
        open_timers(1, 1);
        step_up_and_edit(c.rights);
        st.takeoff_airspeed = c.start;
        key(c.key);
        EXPECT_EQ(st.takeoff_airspeed, c.expected);
        char shown[8];
        snprintf(shown, sizeof shown, "%u", unsigned(c.expected));
        EXPECT_TRUE(row_shows(1, "T/O AIRSPEED: ", shown));
        EXPECT_TRUE(step_label_shows(c.step_label));
        EXPECT_EQ(st.menu_cursor, 1);
    }
}

TEST(TimersSetup, StepCyclesOnBothRowsAndShowsOnlyOnTakeOff)
{
    open_timers(1, 0);
    expect_step_cycle(2, {10, 100, 1}, [](uint8_t row) { return row == 1; });
    keys({KEY_CW, KEY_PUSH});  // edit mode on T/O AIRSPEED does not stop the cycle
    for (const char* label : {"X10", "X100", "X1"}) {
        key(KEY_RIGHT);
        EXPECT_TRUE(step_label_shows(label));
    }
}

TEST(TimersSetup, LeavingInEditModeReopensTheMenuOnTimersSetup)
{
    open_timers(1, 1);
    expect_leaving_to_main_menu(MAIN_MENU_TIMERS_SETUP);
}

TEST(TimersSetup, ValuesStayInRangeUnderRandomUse)
{
    random_use(screen_timers_setup, 1, 20000, 11, [] {
        ASSERT_TRUE(settings_in_range());
        if (st.current_screen == screen_timers_setup) {
            ASSERT_LE(st.menu_cursor, st.flight_timer_mode);  // never on a vanished row
        }
        ASSERT_TRUE(st.edit_step == 1 || st.edit_step == 10 || st.edit_step == 100);
    });
}

}  // namespace
