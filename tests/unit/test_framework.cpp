// The screen-handler contract, the navigation helpers and the screen
// furniture, checked on the LCD pixels and the state record.
#include "screen_harness.h"

namespace {

using namespace screen_test;

void marker_screen() {}

class Framework : public ::testing::Test {
protected:
    void SetUp() override
    {
        switch_on();
        lcd_clear();
    }
};

TEST_F(Framework, SecondKeyOfAPassIsLostAndOnlyTheFirstActs)
{
    const uint32_t qnh = st.qnh;
    host_post_key(KEY_CW);
    host_post_key(KEY_RIGHT);  // arrives while the first is pending: dropped
    EXPECT_EQ(st.pending_key, KEY_CW);
    pass();
    EXPECT_EQ(st.qnh, qnh + 1000);
    EXPECT_EQ(st.pending_key, KEY_NONE);
    pass();
    EXPECT_EQ(st.main_page, 0) << "the lost key must not act later";
    EXPECT_EQ(st.qnh, qnh + 1000);

    // Whichever keys they are, the first waits and the second is lost; once
    // the first is consumed the next one gets through.
    for (auto [first, second] : {std::pair(KEY_LEFT, KEY_RIGHT), std::pair(KEY_PUSH, KEY_CW),
                                 std::pair(KEY_CCW, KEY_LEFT), std::pair(KEY_CW, KEY_CW)}) {
        host_post_key(first);
        host_post_key(second);
        EXPECT_EQ(st.pending_key, first) << int(first) << " then " << int(second);
        st.pending_key = KEY_NONE;
        host_post_key(second);
        EXPECT_EQ(st.pending_key, second);
        st.pending_key = KEY_NONE;
    }
}

TEST_F(Framework, IgnoredKeyIsClearedAndDoesNotReachTheNextScreen)
{
    // The START/STOP question treats the knob push as "no" and returns; the
    // push must not go on to open the menu from the main display.
    st.current_screen = screen_flight_start_stop;
    host_post_key(KEY_PUSH);
    pass();
    EXPECT_EQ(st.current_screen, screen_main);
    EXPECT_EQ(st.pending_key, KEY_NONE);
    pass();
    EXPECT_EQ(st.current_screen, screen_main);
    EXPECT_EQ(st.flight_active, 0);
}

TEST_F(Framework, ScreenChangeShowsFromTheNextPass)
{
    // The pass that handles the key still shows the old screen (the main
    // display with its QNH box); the question appears one pass later.
    host_post_key(KEY_LEFT);
    pass();
    EXPECT_EQ(st.current_screen, screen_flight_start_stop);
    EXPECT_EQ(px(45, 109), COLOUR_GREY) << "still the main display";
    pass();
    EXPECT_TRUE(shows_picture("flight_start_question"));
}

TEST_F(Framework, ResetMenuCursorAndReturnToMainDisplay)
{
    st.pending_code = 1234, st.edit_mode = 1, st.menu_scroll = 4, st.edit_step = 100;
    reset_menu_cursor(6);
    EXPECT_EQ(st.pending_code, 0);
    EXPECT_TRUE(is_at({.cursor = 6, .scroll = 0, .edit = 0, .step = 1}));

    st.current_screen = screen_main_menu;
    st.edit_mode = 1, st.menu_cursor = 3, st.menu_scroll = 2, st.edit_step = 10, st.main_page = 2;
    st.pending_code = 77;
    return_to_main_display();
    EXPECT_TRUE(is_at({.screen = screen_main, .cursor = 0, .scroll = 0, .edit = 0, .step = 1}));
    EXPECT_EQ(st.main_page, 2) << "the page is kept";
    EXPECT_EQ(st.pending_code, 77) << "only reset_menu_cursor clears the code";
}

TEST_F(Framework, ScrollKeepsTheCursorOnTheLastVisibleRow)
{
    const uint8_t expected_scroll[8] = {0, 0, 0, 0, 0, 1, 2, 3};
    for (uint8_t cursor = 0; cursor < 8; cursor++) {
        st.menu_cursor = cursor, st.menu_scroll = 9;
        scroll_to_cursor();
        EXPECT_EQ(st.menu_scroll, expected_scroll[cursor]) << "cursor " << int(cursor);
    }

    // A list of eight rows with the cursor on row 7: rows 3 to 7 are shown,
    // row 7 in red at the bottom position (y 91).
    const char* names[8] = {"ROW A", "ROW B", "ROW C", "ROW D", "ROW E", "ROW F", "ROW G", "ROW H"};
    for (int n = 0; n < 8; n++)
        draw_menu_row(int8_t(n - st.menu_scroll), names[n], n == 7 ? COLOUR_RED : COLOUR_WHITE);
    for (int n = 3; n < 8; n++)
        EXPECT_TRUE(texts_fill(0, row_top(n - 3), 159, row_bottom(n - 3), uint16_t(row_top(n - 3)), {names[n]}));
    EXPECT_TRUE(text_at(0, 91, "ROW H", 8, ALIGN_LEFT, COLOUR_RED));
    EXPECT_EQ(count_lit(0, 0, 159, 26), 0) << "nothing above the first row";
}

TEST_F(Framework, RowsOutsideTheFiveVisiblePositionsAreNotDrawn)
{
    for (int8_t row : {-128, -2, -1, 5, 6, 127}) {
        lcd_clear();
        draw_menu_row(row, "HIDDEN", COLOUR_WHITE);
        draw_setting_row(row, "LABEL: ", "VALUE");
        EXPECT_EQ(count_lit(0, 0, 159, 127), 0) << "row " << int(row);
    }
    draw_menu_row(4, "SHOWN", COLOUR_WHITE);  // a visible row does draw
    EXPECT_TRUE(text_at(0, 91, "SHOWN", 8, ALIGN_LEFT, COLOUR_WHITE));
}

TEST_F(Framework, SettingRowColoursWhileBrowsingAndEditing)
{
    struct { int8_t row; uint8_t cursor, scroll, edit; uint8_t label_colour, value_colour; } cases[] = {
        {0, 0, 0, 0, COLOUR_RED, COLOUR_RED},      // selected, browsing: all red
        {0, 0, 0, 1, COLOUR_WHITE, COLOUR_RED},    // selected, editing: value red
        {1, 0, 0, 0, COLOUR_WHITE, COLOUR_WHITE},  // not selected
        {1, 0, 0, 1, COLOUR_WHITE, COLOUR_WHITE},  // not selected while another row edits
        {4, 7, 3, 0, COLOUR_RED, COLOUR_RED},      // selected through the scroll offset
        {4, 7, 3, 1, COLOUR_WHITE, COLOUR_RED},
        {4, 4, 3, 0, COLOUR_WHITE, COLOUR_WHITE},  // visible 4 is row 7, not the cursor's 4
        {1, 4, 3, 0, COLOUR_RED, COLOUR_RED},      // visible 1 is row 4
    };
    for (auto& c : cases) {
        st.menu_cursor = c.cursor, st.menu_scroll = c.scroll, st.edit_mode = c.edit;
        lcd_clear();
        draw_setting_row(c.row, "SECURITY: ", "ON");
        const uint16_t y = uint16_t(row_top(c.row));
        EXPECT_TRUE(text_at(0, y, "SECURITY: ", 8, ALIGN_LEFT, c.label_colour)) << "row " << int(c.row);
        const uint16_t value_x = place_text(0, y, "SECURITY: ", 8, ALIGN_LEFT).end;
        EXPECT_GT(value_x, 40) << "the value follows the label";
        EXPECT_TRUE(text_at(value_x, y, "ON", 8, ALIGN_LEFT, c.value_colour)) << "row " << int(c.row);
        EXPECT_TRUE(texts_fill(0, 0, 159, 127, y, {"SECURITY: ", "ON"})) << "nothing else";
    }
}

TEST_F(Framework, ScrollBarThumbFollowsTheFormula)
{
    struct { uint16_t index, count, top, bottom; } cases[] = {
        {0, 1, 30, 106},  // one entry: the thumb covers the whole track
        {0, 6, 30, 42},  {5, 6, 93, 105}, {3, 6, 67, 79},
        {0, 4, 30, 49},  {1, 4, 49, 68},  {2, 4, 68, 87}, {3, 4, 87, 106},
        {7, 8, 96, 105},
    };
    for (auto& c : cases) {
        lcd_clear();
        draw_scroll_bar(c.index, c.count);
        for (int y = 0; y < LCD_HEIGHT; y++)
            for (int x = 150; x < 160; x++) {
                const bool lit = (y >= c.top && y <= c.bottom && x >= 153) || (y >= 30 && y <= 106 && x == 156);
                ASSERT_EQ(px(x, y), lit ? COLOUR_WHITE : 0)
                    << c.index << "/" << c.count << " at (" << x << "," << y << ")";
            }
        EXPECT_EQ(count_lit(0, 0, 149, 127), 0);
    }
}

// The rotary hint alone: exactly the centre slot of the main menu's footer,
// nothing anywhere else.
TEST_F(Framework, RotaryHintPoints)
{
    draw_rotary_hint();
    EXPECT_TRUE(shows_picture("menu_alt_setup", 54, 111, 105, 127));
    EXPECT_EQ(count_lit(0, 0, 159, 127), count_lit(54, 111, 105, 127));
    EXPECT_GT(count_lit(54, 111, 105, 127), 0);
}

TEST_F(Framework, FooterKindsAndTheirLeftLabels)
{
    struct { uint8_t kind; const char* label; } cases[] = {
        {FOOTER_NONE, nullptr}, {FOOTER_EXIT, "EXIT"}, {FOOTER_BACK, "BACK"}, {FOOTER_DONE, "DONE"},
        {4, nullptr},           {255, nullptr},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        lcd_clear();
        draw_footer(c.kind);
        EXPECT_EQ(count_colour(0, 110, 159, 110, COLOUR_WHITE), 160) << "the rule";
        EXPECT_EQ(count_colour(53, 110, 53, 127, COLOUR_WHITE), 18) << "the left separator";
        EXPECT_EQ(count_colour(106, 110, 106, 127, COLOUR_WHITE), 18) << "the right separator";
        // The centre slot holds the rotary hint as the main menu shows it.
        EXPECT_TRUE(shows_picture("menu_alt_setup", 54, 111, 105, 127));
        EXPECT_EQ(count_lit(0, 0, 159, 109) + count_lit(107, 111, 159, 127), 0);
        const int left = count_lit(0, 111, 52, 127);
        if (c.label) {
            EXPECT_TRUE(text_at(26, 112, c.label, 8, ALIGN_CENTRE, COLOUR_WHITE));
            EXPECT_EQ(left, int(place_text(26, 112, c.label, 8, ALIGN_CENTRE).pixels.size()));
        } else {
            EXPECT_EQ(left, 0) << "no label";
        }
    }
}

// The rule, both separators, NO and YES and no rotary hint, as the START
// FLIGHT? question shows them; nothing above the rule.
TEST_F(Framework, NoYesFooterHasBothLabelsAndNoHint)
{
    draw_no_yes_footer();
    EXPECT_TRUE(shows_picture("flight_start_question", 0, 110, 159, 127));
    EXPECT_EQ(count_lit(0, 0, 159, 109), 0);
}

// The logo, both lines right-aligned in red and the rule, as MISC SETUP
// shows them; nothing below the rule.
TEST_F(Framework, TitleBarLogoLinesAndRule)
{
    draw_title_bar("MISC", "SETUP");
    EXPECT_TRUE(shows_picture("misc_setup_backlight", 0, 0, 159, 25));
    EXPECT_EQ(count_lit(0, 26, 159, 127), 0);
    const int full = count_lit(0, 0, 159, 127);

    // Empty lines draw nothing: only the logo and the rule remain.
    lcd_clear();
    draw_title_bar("", "");
    const int logo = int(place_text(0, 0, "K", 12, ALIGN_LEFT).pixels.size() +
                         place_text(15, 0, "ova", 12, ALIGN_LEFT).pixels.size());
    EXPECT_GT(logo, 0);
    EXPECT_EQ(count_lit(0, 0, 159, 127), logo + 160);
    EXPECT_LT(logo + 160, full);
}

TEST_F(Framework, StepLabelShowsOnlyOnTheSelectedRow)
{
    struct { uint8_t row, cursor; uint16_t step; const char* label; } cases[] = {
        {2, 2, 1, "X1"},    {2, 2, 10, "X10"},  {2, 2, 100, "X100"}, {2, 2, 0, nullptr},
        {2, 2, 5, nullptr}, {2, 2, 1000, nullptr}, {3, 2, 10, nullptr}, {0, 7, 1, nullptr},
    };
    for (auto& c : cases) {
        lcd_clear();
        st.menu_cursor = c.cursor, st.edit_step = c.step;
        draw_step_label(c.row);
        if (c.label) {
            EXPECT_TRUE(step_label_shows(c.label)) << c.step;
            EXPECT_EQ(count_lit(0, 0, 159, 127), right_slot_lit());
        } else {
            EXPECT_EQ(count_lit(0, 0, 159, 127), 0) << "row " << int(c.row) << " step " << c.step;
        }
    }
}

TEST_F(Framework, MessageDoneDrawsAndReturnsOnAnyKey)
{
    st.current_screen = screen_message_done, st.return_screen = marker_screen;
    run_screen();
    EXPECT_EQ(st.current_screen, screen_message_done) << "stays without a key";
    EXPECT_TRUE(shows_picture("message_done"));

    for (uint8_t k : {KEY_LEFT, KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW}) {
        st.current_screen = screen_message_done;
        run_screen(k);
        EXPECT_EQ(st.current_screen, marker_screen) << "key " << int(k);
        EXPECT_EQ(st.pending_key, KEY_NONE);
        EXPECT_TRUE(shows_picture("message_done")) << "drawn before the key";
    }
}

// The knob's rules that the pages share: the cursor wrap, the coarse-step
// cycle and the calibration step.
TEST_F(Framework, CursorWrapStepCycleAndCalibrationStep)
{
    struct { uint8_t rows, from; bool next; uint8_t to; } moves[] = {
        {6, 5, true, 0}, {6, 0, false, 5}, {6, 2, true, 3}, {6, 2, false, 1},  {6, 9, false, 5},
        {6, 9, true, 0}, {1, 0, true, 0},  {1, 0, false, 0}, {12, 11, true, 0}};
    for (auto& m : moves) {
        st.menu_cursor = m.from;
        move_cursor(m.rows, m.next);
        EXPECT_EQ(st.menu_cursor, m.to) << int(m.from) << " of " << int(m.rows) << (m.next ? " next" : " back");
    }
    const struct { uint16_t largest, steps[3]; } cycles[] = {{STEP_UP_TO_10, {10, 1, 10}},
                                                             {STEP_UP_TO_100, {10, 100, 1}}};
    for (auto& c : cycles) {
        st.edit_step = 1;
        for (uint16_t want : c.steps) {
            cycle_edit_step(c.largest);
            EXPECT_EQ(st.edit_step, want) << "up to " << c.largest;
        }
    }
    EXPECT_EQ(cal_percent_stepped(150, true), 150);
    EXPECT_EQ(cal_percent_stepped(149, true), 150);
    EXPECT_EQ(cal_percent_stepped(50, false), 50);
    EXPECT_EQ(cal_percent_stepped(100, false), 99);
}

}  // namespace
