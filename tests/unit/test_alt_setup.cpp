// ALTITUDE SETUP, the WARNING page and the encoder test, driven key by key
// and checked against the gallery's pictures, pixel facts and the state.
#include "screen_harness.h"

using namespace screen_test;

namespace {

void open_alt_setup(uint8_t serial, uint8_t row = 0) { switch_on_and_open(screen_alt_setup, row, &st.serial_out, serial); }

TEST(AltSetup, RowCountAndWrapWithAndWithoutSerialOutput)
{
    // Six rows: a 12-row thumb at (126 * row + 300) / 10; eight rows: a
    // 9-row thumb at (95 * row + 300) / 10. Any cursor move goes back to X1.
    expect_cursor_moves([](uint8_t row) { open_alt_setup(0, row); }, 10,
                        {{5, KEY_CW, 0, 0, 30, 12}, {0, KEY_CCW, 5, 1, 93, 12}, {2, KEY_CW, 3, 0, 67, 12}});
    expect_cursor_moves([](uint8_t row) { open_alt_setup(1, row); }, 10,
                        {{5, KEY_CW, 6, 2, 87, 9}, {0, KEY_CCW, 7, 3, 96, 9}, {7, KEY_CW, 0, 0, 30, 9},
                         {7, KEY_CCW, 6, 2, 87, 9}});
}

TEST(AltSetup, EightRowsScrollTheSelectedRowToTheBottomLine)
{
    open_alt_setup(1, 0);
    // As the gallery's tour has left it: the encoder at 3250 ft, CAL +20, the
    // resolution at 50ft and the pressure in inches of mercury.
    host_set_altitude(3250);
    st.altitude_cal_offset = 20, st.altitude_resolution = 3, st.pressure_unit = 1;
    // Eight rows: the thumb is 9 rows high, its top at (95 * cursor + 300) / 10.
    struct { uint8_t cursor, scroll; const char* bottom_label; const char* bottom_value; int thumb_top; } steps[] = {
        {1, 0, "CAL: ", "+20 3270ft", 39}, {2, 0, "CAL: ", "+20 3270ft", 49}, {3, 0, "CAL: ", "+20 3270ft", 58},
        {4, 0, "CAL: ", "+20 3270ft", 68}, {5, 1, "SERIAL OUT: ", "ON", 77}, {6, 2, "PROT: ", "GARMIN AT", 87},
        {7, 3, "TEST ALT ENCODER", "", 96},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "cursor " << int(s.cursor));
        key(KEY_CW);
        ASSERT_TRUE(is_at({.cursor = s.cursor, .scroll = s.scroll}));
        EXPECT_TRUE(row_shows(4, s.bottom_label, s.bottom_value));
        EXPECT_EQ(scroll_thumb().top, s.thumb_top);
    }
    // Cursor on TEST ALT ENCODER: rows 3..7 visible, the action row red on the
    // bottom line, the lines above it white, the thumb down to row 105.
    EXPECT_TRUE(shows_picture("alt_setup_test_row"));

    // The action row is off screen whenever the cursor is above it.
    key(KEY_CCW);
    EXPECT_EQ(st.menu_scroll, 2);
    EXPECT_TRUE(row_shows(4, "PROT: ", "GARMIN AT"));
}

TEST(AltSetup, SixRowsWithoutSerialOutput)
{
    // The scroll and the thumb at the last of six rows are in the cursor-move
    // table above.
    open_alt_setup(0, 5);
    EXPECT_TRUE(row_shows(0, "PRESSURE UNIT:", "mb"));
    EXPECT_TRUE(row_shows(3, "CAL: ", "+0 0ft"));
    EXPECT_TRUE(row_shows(4, "SERIAL OUT: ", "OFF"));
}

TEST(AltSetup, SerialOffWhileEditingRowFiveRemovesTheTwoRows)
{
    open_alt_setup(1, 5);
    key(KEY_PUSH);
    ASSERT_EQ(st.edit_mode, 1);
    EXPECT_EQ(scroll_thumb().height(), 9);
    key(KEY_CW);
    EXPECT_EQ(st.serial_out, 0);
    EXPECT_TRUE(is_at({.cursor = 5, .edit = 1}));
    EXPECT_EQ(scroll_thumb().height(), 12);
    EXPECT_TRUE(row_shows(4, "SERIAL OUT: ", "OFF"));
    keys({KEY_PUSH, KEY_CW});
    EXPECT_EQ(st.menu_cursor, 0);  // row 5 is now the last
}

TEST(AltSetup, CalRefusesStepsThatLeaveItsRange)
{
    // rights: KEY_RIGHT presses, 0 for X1, 1 for X10.
    struct { int16_t start; uint8_t rights, key; int16_t expected; const char* shown; } cases[] = {
        {120, 1, KEY_CW, 120, "+120 120ft"},  {125, 0, KEY_CW, 125, "+125 125ft"},
        {-120, 1, KEY_CCW, -120, "-120 -120ft"}, {115, 1, KEY_CW, 125, "+125 125ft"},
        {-115, 1, KEY_CCW, -125, "-125 -125ft"}, {-125, 0, KEY_CCW, -125, "-125 -125ft"},
        {124, 0, KEY_CW, 125, "+125 125ft"},  {-125, 0, KEY_CW, -124, "-124 -124ft"},
        {0, 1, KEY_CCW, -10, "-10 -10ft"},    {0, 0, KEY_CW, 1, "+1 1ft"},
        {-5, 1, KEY_CW, 5, "+5 5ft"},       {5, 2, KEY_CW, 6, "+6 6ft"},  // X10 then back to X1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " key " << int(c.key));
        open_alt_setup(0, 4);
        step_up_and_edit(c.rights);
        st.altitude_cal_offset = c.start;
        key(c.key);
        EXPECT_EQ(st.altitude_cal_offset, c.expected);
        EXPECT_TRUE(row_shows(4, "CAL: ", c.shown));
        EXPECT_TRUE(step_label_shows(c.rights == 1 ? "X10" : "X1"));
    }
}

TEST(AltSetup, StepLabelOnlyOnCalAndEveryMoveResetsIt)
{
    open_alt_setup(1, 0);
    expect_step_cycle(8, {10, 1}, [](uint8_t row) { return row == 4; });  // 1 and 10 alternate on this page
}

TEST(AltSetup, ValueStepsAndWraps)
{
    const uint8_t CW = KEY_CW, CCW = KEY_CCW;
    expect_value_steps([](uint8_t row) { open_alt_setup(1, row); },
                       {{0, &st.altitude_unit, {{CW, 0, 1}, {CCW, 1, 0}, {CCW, 0, 1}}},
                        {1, &st.pressure_unit, {{CW, 0, 1}, {CCW, 0, 1}}},
                        {2, &st.altitude_resolution, {{CW, 3, 4}, {CW, 4, 0}, {CCW, 0, 4}, {CCW, 2, 1}}},
                        {3, &st.alt_on_top, {{CW, 0, 1}, {CCW, 1, 0}}},
                        {5, &st.serial_out, {{CW, 1, 0}, {CCW, 0, 1}}},
                        {6, &st.serial_protocol, {{CW, 5, 0}, {CW, 2, 3}, {CCW, 0, 5}}}});
}

TEST(AltSetup, EveryOptionValueShowsItsName)
{
    struct { uint8_t unit, resolution; const char* name; } resolutions[] = {
        {0, 0, "1ft"}, {0, 1, "10ft"}, {0, 2, "25ft"}, {0, 3, "50ft"}, {0, 4, "100ft"},
        {1, 0, "1m"},  {1, 1, "10m"},  {1, 2, "25m"},  {1, 3, "50m"},  {1, 4, "100m"},
    };
    for (const auto& r : resolutions) {
        open_alt_setup(0, 0);
        st.altitude_unit = r.unit, st.altitude_resolution = r.resolution;
        pass();
        EXPECT_TRUE(row_shows(0, "ALTITUDE UNIT: ", r.unit ? "m" : "ft"));
        EXPECT_TRUE(row_shows(2, "RESOLUTION: ", r.name));
    }
    const char* protocols[] = {"GARMIN AT", "MAGELLAN", "NORTHSTAR", "TRIMBLE", "QTX", "MICROAIR"};
    for (uint8_t p = 0; p < 6; p++) {
        open_alt_setup(1, 6);
        st.serial_protocol = p;
        pass();
        EXPECT_TRUE(row_shows(4, "PROT: ", protocols[p]));
    }
    // The factory values are in the gallery's first picture of the page.
    open_alt_setup(0, 0);
    st.pressure_unit = 1, st.alt_on_top = 1, st.altitude_cal_offset = -7;
    pass();
    EXPECT_TRUE(row_shows(1, "PRESSURE UNIT:", "\"Hg"));
    EXPECT_TRUE(row_shows(3, "POSITION: ", "TOP"));
    EXPECT_TRUE(row_shows(4, "CAL: ", "-7 -7ft"));
}

TEST(AltSetup, ChangingTheUnitRenamesTheResolutionAndKeepsItsIndex)
{
    open_alt_setup(0, 0);
    st.altitude_resolution = 2;
    pass();
    EXPECT_TRUE(row_shows(2, "RESOLUTION: ", "25ft"));
    keys({KEY_PUSH, KEY_CW});
    EXPECT_EQ(st.altitude_unit, 1);
    EXPECT_EQ(st.altitude_resolution, 2);
    EXPECT_TRUE(row_shows(2, "RESOLUTION: ", "25m"));
    EXPECT_TRUE(row_shows(4, "CAL: ", "+0 0ft"));  // CAL stays in feet
}

TEST(AltSetup, SelectedRowColoursWhileBrowsingAndEditing)
{
    open_alt_setup(0, 2);
    EXPECT_GT(row_count_colour(2, COLOUR_RED), 0);
    EXPECT_EQ(row_count_colour(2, COLOUR_WHITE), 0);
    EXPECT_EQ(row_count_colour(1, COLOUR_RED), 0);
    key(KEY_PUSH);
    EXPECT_GT(row_count_colour(2, COLOUR_RED), 0);
    EXPECT_GT(row_count_colour(2, COLOUR_WHITE), 0);  // label white, value red
}

TEST(AltSetup, LeavingInEditModeReopensTheMenuOnAltSetup)
{
    open_alt_setup(1, 4);
    expect_leaving_to_main_menu(MAIN_MENU_ALT_SETUP);
}

TEST(AltSetup, TestAltitudesCycleBothWays)
{
    const int32_t forward[] = {-1000, -900, -700, -400, -200, 800, 2800, 6800, 14800, 30800, -1000};
    open_alt_setup(1, 7);
    key(KEY_PUSH);
    ASSERT_EQ(st.current_screen, screen_test_warning);
    key(KEY_PUSH);
    ASSERT_EQ(st.current_screen, screen_test_altitude);
    EXPECT_EQ(st.test_altitude, -1000);
    for (int i = 1; i < 11; i++) {
        key(KEY_CW);
        EXPECT_EQ(st.test_altitude, forward[i]) << i;
    }
    for (int i = 9; i >= 0; i--) {
        key(KEY_CCW);
        EXPECT_EQ(st.test_altitude, forward[i]) << i;
    }
    key(KEY_CCW);
    EXPECT_EQ(st.test_altitude, 30800);

    // Push and the right key do nothing; a value outside the list stays.
    keys({KEY_PUSH, KEY_RIGHT});
    EXPECT_EQ(st.current_screen, screen_test_altitude);
    EXPECT_EQ(st.test_altitude, 30800);
    st.test_altitude = 500;
    keys({KEY_CW, KEY_CCW});
    EXPECT_EQ(st.test_altitude, 500);
}

TEST(AltSetup, WarningAndTestLeadBackToTheEncoderRow)
{
    open_alt_setup(1, 7);
    key(KEY_PUSH);
    ASSERT_TRUE(is_at({.screen = screen_test_warning, .edit = 0}));
    keys({KEY_CW, KEY_CCW, KEY_RIGHT});  // consumed, nothing happens
    EXPECT_TRUE(is_at({.screen = screen_test_warning, .cursor = 7}));
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_alt_setup, .cursor = 7, .scroll = 3, .edit = 0}));

    // A test that ended elsewhere starts again at -1000.
    keys({KEY_PUSH, KEY_PUSH, KEY_CW, KEY_CW, KEY_CW});
    EXPECT_EQ(st.test_altitude, -400);
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_alt_setup, .cursor = 7, .scroll = 3}));
    keys({KEY_PUSH, KEY_PUSH});
    EXPECT_EQ(st.test_altitude, -1000);
}

TEST(AltSetup, SentencesCarryTheTestAltitudeOnlyDuringTheTest)
{
    open_alt_setup(1, 7);
    pass();
    EXPECT_EQ(host.last_sentence.substr(0, 14), "#AL +00000T+25");
    keys({KEY_PUSH, KEY_PUSH});
    key(KEY_CW, 9);  // setup_altitude.scn sees -1000 and -900 sent on the way
    EXPECT_EQ(host.last_sentence.substr(0, 14), "#AL +30800T+25");
    key(KEY_LEFT);
    EXPECT_EQ(host.last_sentence.substr(0, 14), "#AL +00000T+25");
}

TEST(AltSetup, WarningAndTestScreensDrawTheirTexts)
{
    open_alt_setup(1, 7);
    key(KEY_PUSH);
    EXPECT_TRUE(shows_picture("alt_test_warning")) << "no title bar, WARNING in red";
    key(KEY_PUSH);
    EXPECT_TRUE(shows_picture("alt_test_encoder")) << "-1000 ft, all in red";
    key(KEY_CW);
    // -900 (the gallery has -1000, 800 and 30800): the number centred at
    // x 80, y 60 in font 20, "ft" at (140, 66) in font 16, both red.
    EXPECT_TRUE(shows_picture("alt_test_encoder", 0, 0, 159, 59));
    EXPECT_TRUE(text_at(80, 60, "-900", 20, ALIGN_CENTRE, COLOUR_RED));
    EXPECT_TRUE(text_at(140, 66, "ft", 16, ALIGN_CENTRE, COLOUR_RED));
    EXPECT_EQ(count_colour(0, 60, 159, 105, COLOUR_WHITE), 0);
}

TEST(AltSetup, ValuesStayInRangeUnderRandomUse)
{
    random_use(screen_alt_setup, 6, 20000, 7, [] {
        if (st.current_screen == screen_test_warning || st.current_screen == screen_test_altitude) {
            ASSERT_EQ(st.menu_cursor, 7);
            ASSERT_EQ(st.serial_out, 1);
            return;
        }
        ASSERT_TRUE(settings_in_range());
        ASSERT_LE(st.menu_cursor, st.serial_out ? 7 : 5);
        ASSERT_TRUE(st.edit_step == 1 || st.edit_step == 10);
    });
}

}  // namespace
