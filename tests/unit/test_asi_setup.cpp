// ASI SETUP and the ZERO ASI SENSOR? confirmation, driven key by key and
// checked against the gallery's pictures, pixel facts and the state.
#include "screen_harness.h"
#include "screens/asi_setup.h"

using namespace screen_test;

namespace {

void open_asi_setup(uint8_t cursor = 0) { switch_on_and_open(screen_asi_setup, cursor); }

TEST(AsiSetup, TwelveRowsScrollAndWrap)
{
    // A 6-row thumb at (63 * row + 300) / 10.
    expect_cursor_moves(open_asi_setup, 100,
                        {{11, KEY_CW, 0, 0, 30, 6}, {0, KEY_CCW, 11, 7, 99, 6}, {4, KEY_CW, 5, 1, 61, 6},
                         {5, KEY_CCW, 4, 0, 55, 6}, {10, KEY_CW, 11, 7, 99, 6}});
}

TEST(AsiSetup, EveryOptionValueShowsItsName)
{
    const char* units[] = {"mph", "km/h", "kts"};
    const char* filters[] = {"NONE", "FAST", "SLOW"};
    for (uint8_t v = 0; v < 3; v++) {
        open_asi_setup(0);
        st.asi_unit = v, st.asi_filter = v;
        pass();
        EXPECT_TRUE(row_shows(1, "ASI UNIT: ", units[v]));
        EXPECT_TRUE(row_shows(2, "ASI FILTER: ", filters[v]));
        char vne[16];
        snprintf(vne, sizeof vne, "220%s", units[v]);
        EXPECT_TRUE(row_shows(3, "Vne SPEED: ", vne));
    }
    open_asi_setup(9);
    st.vs_alarm = 0, st.vne_alarm = 0;
    pass();
    EXPECT_TRUE(row_shows(3, "Vs ALARM: ", "OFF"));
    EXPECT_TRUE(row_shows(4, "Vne ALARM: ", "OFF"));
    // POSITION reads from the airspeed's side: the factory TOP is in the
    // gallery's picture of row 11, ALTITUDE SETUP's own reading in its tests.
    open_asi_setup(11);
    st.alt_on_top = 1, st.asi_cal_percent = 55;
    pass();
    EXPECT_TRUE(row_shows(3, "CAL: ", "55% 0mph"));
    EXPECT_TRUE(row_shows(4, "POSITION: ", "BOTTOM"));
}

TEST(AsiSetup, CalRowShowsTheAirspeedInMph)
{
    open_asi_setup(10);
    st.asi_unit = 1;  // the CAL suffix stays mph
    host_set_asi_adc(3000);
    for (int i = 0; i < 200; i++)
        pass();
    ASSERT_GT(st.airspeed_mph, 0);
    char value[32];
    snprintf(value, sizeof value, "100%% %umph", unsigned(st.airspeed_mph));
    EXPECT_TRUE(row_shows(4, "CAL: ", value));
}

// Drives one limit row: step by KEY_RIGHT presses, push into edit mode, then
// the given turns, checking the order after every pass.
// limits: Vne, Vno, Vfe, Vs1, Vs0, speed_limits in its order; rights: 0 for
// X1, 1 for X10, 2 for X100; expected: the limit after each turn.
struct wrap_case { uint16_t limits[5]; uint8_t index, rights, key; std::vector<uint16_t> expected; };

TEST(AsiSetup, SpeedLimitsWrapBetweenTheirNeighbours)
{
    const wrap_case cases[] = {
        {{220, 180, 50, 30, 20}, VNE, 2, KEY_CW, {320, 420, 180, 280}},
        {{185, 180, 50, 30, 20}, VNE, 1, KEY_CCW, {500, 490}},
        {{490, 180, 50, 30, 20}, VNE, 1, KEY_CW, {500, 180}},
        {{220, 180, 50, 30, 20}, VNE, 0, KEY_CCW, {219, 218}},
        {{220, 210, 50, 30, 20}, VNO, 1, KEY_CW, {220, 50, 60}},  // exactly Vne, then Vfe
        {{220, 180, 50, 30, 20}, VNO, 2, KEY_CCW, {80, 220}},
        {{220, 180, 50, 30, 20}, VFE, 2, KEY_CW, {150, 30}},
        {{220, 180, 50, 30, 20}, VFE, 2, KEY_CCW, {180, 80}},
        {{220, 180, 50, 30, 20}, VS1, 1, KEY_CCW, {20, 50}},      // lands on Vs0, then wraps to Vfe
        {{220, 180, 50, 30, 20}, VS1, 1, KEY_CW, {40, 50, 20}},
        {{220, 180, 50, 30, 15}, VS0, 1, KEY_CCW, {30}},
        {{220, 180, 50, 30, 30}, VS0, 0, KEY_CW, {10, 11}},
        {{220, 180, 50, 30, 20}, VS0, 2, KEY_CCW, {30, 30}},      // large step near zero: no underflow
        {{220, 180, 50, 30, 20}, VS0, 2, KEY_CW, {10, 10}},
        {{500, 500, 500, 500, 500}, VNE, 2, KEY_CW, {500}},
        {{10, 10, 10, 10, 10}, VS0, 2, KEY_CCW, {10}},
        {{10, 10, 10, 10, 10}, VNE, 2, KEY_CCW, {500, 400, 300, 200, 100, 500}},
        {{220, 180, 50, 30, 20}, VNE, 2, KEY_CW, {320}},  // the factory limits: the row shows 320 after one turn
    };
    const uint8_t row_of[5] = {3, 4, 5, 6, 7};
    const char* labels[5] = {"Vne SPEED: ", "Vno SPEED: ", "Vfe SPEED: ", "Vs1 SPEED: ", "Vs0 SPEED: "};
    const char* step_labels[] = {"X1", "X10", "X100"};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << int(c.index) << " from " << c.limits[c.index] << " step "
                                        << step_labels[c.rights] << " key " << int(c.key));
        open_asi_setup(row_of[c.index]);
        step_up_and_edit(c.rights);
        ASSERT_EQ(st.edit_mode, 1);
        memcpy(st.speed_limits, c.limits, sizeof c.limits);
        for (uint16_t want : c.expected) {
            key(c.key);
            EXPECT_EQ(st.speed_limits[c.index], want);
            EXPECT_TRUE(speed_limits_ordered());
            for (int i = 0; i < 5; i++) {
                if (i != c.index) {
                    EXPECT_EQ(st.speed_limits[i], c.limits[i]) << "neighbour " << i;
                }
            }
        }
        EXPECT_TRUE(step_label_shows(step_labels[c.rights]));
        char shown[16];
        snprintf(shown, sizeof shown, "%umph", unsigned(c.expected.back()));
        const int line = row_of[c.index] - st.menu_scroll;
        EXPECT_TRUE(row_shows(line, labels[c.index], shown));
        EXPECT_GT(row_count_colour(line, COLOUR_WHITE), 0);  // label white while editing
        EXPECT_GT(row_count_colour(line, COLOUR_RED), 0);
    }
}

TEST(AsiSetup, OrderHoldsAfterEveryPassOfRandomUse)
{
    random_use(screen_asi_setup, ASI_SETUP_ROWS, 20000, 20240611, [] {
        ASSERT_TRUE(settings_in_range());
        ASSERT_LT(st.menu_cursor, ASI_SETUP_ROWS);
        ASSERT_TRUE(st.edit_step == 1 || st.edit_step == 10 || st.edit_step == 100);
    });
}

TEST(AsiSetup, UnitChangeRenamesEveryLimitAndKeepsTheNumbers)
{
    open_asi_setup(1);
    key(KEY_PUSH);
    // Rows act right after they are drawn: in the pass that handles the turn
    // the unit row still shows the old name and the limits below it the new.
    host_post_key(KEY_CW);
    pass();
    EXPECT_EQ(st.asi_unit, 1);
    EXPECT_TRUE(row_shows(1, "ASI UNIT: ", "mph"));
    EXPECT_TRUE(row_shows(2, "ASI FILTER: ", "FAST"));
    EXPECT_TRUE(row_shows(3, "Vne SPEED: ", "220km/h"));
    EXPECT_TRUE(row_shows(4, "Vno SPEED: ", "180km/h"));
    pass();
    EXPECT_TRUE(row_shows(1, "ASI UNIT: ", "km/h"));
    EXPECT_TRUE(row_shows(3, "Vne SPEED: ", "220km/h"));
    EXPECT_TRUE(row_shows(4, "Vno SPEED: ", "180km/h"));
    keys({KEY_CW, KEY_PUSH, KEY_CW, KEY_CW, KEY_CW, KEY_CW, KEY_CW, KEY_CW});
    ASSERT_EQ(st.menu_cursor, 7);
    EXPECT_EQ(st.asi_unit, 2);
    EXPECT_TRUE(row_shows(0, "Vne SPEED: ", "220kts"));
    EXPECT_TRUE(row_shows(1, "Vno SPEED: ", "180kts"));
    EXPECT_TRUE(row_shows(4, "Vs0 SPEED: ", "20kts"));
    const std::vector<uint16_t> limits(st.speed_limits, st.speed_limits + 5);
    EXPECT_EQ(limits, std::vector<uint16_t>({220, 180, 50, 30, 20})) << "the numbers as they were";
}

// X100 must not matter to these rows.
TEST(AsiSetup, OptionAlarmCalAndPositionSteps)
{
    const uint8_t CW = KEY_CW, CCW = KEY_CCW;
    expect_value_steps(open_asi_setup,
                       {{1, &st.asi_unit, {{CW, 2, 0}, {CCW, 0, 2}, {CW, 0, 1}}},
                        {2, &st.asi_filter, {{CW, 2, 0}, {CCW, 0, 2}, {CCW, 2, 1}}},
                        {8, &st.vs_alarm, {{CW, 1, 0}, {CCW, 0, 1}}},
                        {9, &st.vne_alarm, {{CW, 0, 1}, {CCW, 1, 0}}},
                        {10, &st.asi_cal_percent, {{CW, 149, 150}, {CW, 150, 150}, {CCW, 51, 50}, {CCW, 50, 50}}},
                        {11, &st.alt_on_top, {{CW, 0, 1}, {CCW, 1, 0}}}},
                       100);
}

TEST(AsiSetup, StepLabelOnlyOnTheLimitRows)
{
    open_asi_setup(0);
    expect_step_cycle(ASI_SETUP_ROWS, {10, 100, 1}, [](uint8_t row) { return row >= 3 && row <= 7; });
}

TEST(AsiSetup, PushOnZeroNeverEditsAndOpensTheConfirmation)
{
    open_asi_setup(0);
    key(KEY_PUSH);
    EXPECT_TRUE(is_at({.screen = screen_asi_zero_confirm, .cursor = 0, .edit = 0}));
    EXPECT_TRUE(shows_picture("asi_zero_question"));
}

TEST(AsiSetup, ZeroConfirmationAnswers)
{
    // NO: back to row 0, nothing stored; other keys are consumed.
    open_asi_setup(0);
    host_set_asi_adc(1234);
    pass();
    keys({KEY_PUSH, KEY_CW, KEY_CCW, KEY_PUSH});
    EXPECT_EQ(st.current_screen, screen_asi_zero_confirm);
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_asi_setup, .cursor = 0}));
    EXPECT_EQ(st.asi_zero_offset, 0);

    // YES: the sample of the latest airspeed update is captured (the pass
    // updates the airspeed before the screen sees the key), DONE shows, and
    // any key returns to row 0.
    key(KEY_PUSH);
    host_set_asi_adc(2345);
    host_post_key(KEY_RIGHT);
    pass();
    EXPECT_EQ(st.asi_adc_sample, 2345);
    EXPECT_EQ(st.asi_zero_offset, 2345);
    host_set_asi_adc(3000);  // later readings change nothing
    pass();
    EXPECT_EQ(st.asi_zero_offset, 2345);
    EXPECT_EQ(st.current_screen, screen_message_done);  // drawn as the gallery shows it after YES
    key(KEY_CW);
    EXPECT_TRUE(is_at({.screen = screen_asi_setup, .cursor = 0, .edit = 0, .step = 1}));
    EXPECT_GT(row_count_colour(0, COLOUR_RED), 0);
}

TEST(AsiSetup, RowActionActsOnlyOnTheSelectedRowWithAKeyPending)
{
    switch_on();
    st.current_screen = screen_asi_setup;
    reset_menu_cursor(3);
    st.edit_mode = 1, st.pending_key = KEY_CW;
    asi_setup_row_action(ASI_ROW_VNO, 4);  // not the selected row
    EXPECT_EQ(st.speed_limits[VNO], 180);
    asi_setup_row_action(ASI_ROW_VNE, 3);
    EXPECT_EQ(st.speed_limits[VNE], 221);
    EXPECT_EQ(st.pending_key, KEY_CW);  // the page clears it
    st.pending_key = KEY_NONE;
    asi_setup_row_action(ASI_ROW_VNE, 3);
    EXPECT_EQ(st.speed_limits[VNE], 221);
    st.pending_key = KEY_PUSH;
    asi_setup_row_action(ASI_ROW_VNE, 3);
    EXPECT_EQ(st.edit_mode, 0);
    EXPECT_EQ(st.pending_key, KEY_PUSH);
    st.edit_mode = 0;
    reset_menu_cursor(0);
    asi_setup_row_action(ASI_ROW_ZERO_SENSOR, 0);
    EXPECT_EQ(st.current_screen, screen_asi_zero_confirm);
    EXPECT_EQ(st.pending_key, KEY_NONE);  // cleared at once
}

TEST(AsiSetup, LeavingInEditModeReopensTheMenuOnAsiSetup)
{
    open_asi_setup(6);
    expect_leaving_to_main_menu(MAIN_MENU_ASI_SETUP);
}

}  // namespace
