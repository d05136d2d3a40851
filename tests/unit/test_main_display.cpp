// The main display, its three pages, its keys, and the START/STOP FLIGHT
// question, checked on the LCD pixels and the state record.
#include <string>
#include <tuple>

#include "screen_harness.h"

namespace {

using namespace screen_test;

int anywhere(uint8_t colour)
{
    return count_colour(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1, colour);
}

class MainDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        switch_on();
        st.alt_sensor_ok = 1;
        lcd_clear();
    }
};

TEST_F(MainDisplay, AlarmAcknowledgementSwallowsTheFirstKey)
{
    const uint8_t keys[] = {KEY_LEFT, KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW};
    for (uint8_t key : keys) {
        SetUp();
        st.alarm_active = 1, st.alarm_ack = 0;
        run_screen(key);
        EXPECT_EQ(st.alarm_ack & 1, 1u) << "key " << int(key);
        EXPECT_EQ(st.pending_key, KEY_NONE);
        EXPECT_EQ(st.current_screen, screen_main) << "key " << int(key);
        EXPECT_EQ(st.main_page, 0);
        EXPECT_EQ(st.qnh, 1013250u);
    }

    // Acknowledged: the second push opens the menu.
    SetUp();
    st.alarm_active = 1, st.menu_cursor = 3, st.edit_mode = 1;
    run_screen(KEY_PUSH);
    EXPECT_EQ(st.current_screen, screen_main);
    run_screen(KEY_PUSH);
    EXPECT_TRUE(is_at({.screen = screen_main_menu, .cursor = 0, .edit = 0}));

    // Without an alarm, or with it already acknowledged, keys act at once.
    SetUp();
    st.alarm_active = 0;
    run_screen(KEY_RIGHT);
    EXPECT_EQ(st.main_page, 1);
    EXPECT_EQ(st.alarm_ack, 0u);
}

TEST_F(MainDisplay, PushOpensTheUnlockScreenWhenSecurityIsOn)
{
    st.security_enabled = 1;
    for (uint8_t& d : st.code_digits)
        d = 7;
    st.menu_cursor = 2, st.edit_mode = 1;
    run_screen(KEY_PUSH);
    EXPECT_EQ(st.current_screen, screen_unlock);
    for (uint8_t d : st.code_digits)
        EXPECT_EQ(d, 0);
    EXPECT_TRUE(is_at({.cursor = 0, .edit = 0}));
    EXPECT_EQ(st.pending_key, KEY_NONE);
}

TEST_F(MainDisplay, QnhStepsAndLimitsOnEveryPage)
{
    struct { uint8_t unit; uint32_t start; uint8_t key; uint32_t after; } cases[] = {
        {0, 1013250, KEY_CW, 1014250},  {0, 1013250, KEY_CCW, 1012250},
        {0, 1078250, KEY_CW, 1079250},  {0, 1079250, KEY_CW, 1079250},   // 1080250 is not below the limit
        {0, 942250, KEY_CCW, 941250},   {0, 941250, KEY_CCW, 941250},    // 940250 is not above it
        {1, 1013250, KEY_CW, 1013588},  {1, 1013250, KEY_CCW, 1012912},
        {1, 1079911, KEY_CW, 1080249},  {1, 1079912, KEY_CW, 1079912},
        {1, 940589, KEY_CCW, 940251},   {1, 940588, KEY_CCW, 940588},
    };
    for (uint8_t page = 0; page < 3; page++)
        for (auto& c : cases) {
            st.main_page = page, st.pressure_unit = c.unit, st.qnh = c.start;
            run_screen(c.key);
            EXPECT_EQ(st.qnh, c.after) << "page " << int(page) << " unit " << int(c.unit) << " from " << c.start;
            EXPECT_EQ(st.current_screen, screen_main);
            EXPECT_EQ(st.main_page, page);
        }

    // From the factory value the millibar steps end at 941 and 1079.
    st.main_page = 0, st.pressure_unit = 0, st.qnh = 1013250;
    for (int i = 0; i < 200; i++)
        run_screen(KEY_CCW);
    EXPECT_EQ(st.qnh, 941250u);
    for (int i = 0; i < 200; i++)
        run_screen(KEY_CW);
    EXPECT_EQ(st.qnh, 1079250u);
}

TEST_F(MainDisplay, QnhFieldInMillibarAndInches)
{
    // 1013588 is one knob step in inches from 1013250 (the steps' table
    // above): the reading moves by one hundredth.
    struct { uint8_t unit; uint32_t qnh; const char* number; } cases[] = {
        {0, 1013250, "1013"}, {0, 999999, " 999"}, {0, 1079250, "1079"},
        {1, 1013250, "29.92"}, {1, 1013588, "29.93"}, {1, 941250, "27.80"},
    };
    for (auto& c : cases) {
        st.pressure_unit = c.unit, st.qnh = c.qnh;
        run_screen();
        EXPECT_TRUE(text_at(70, 110, c.number, 9, ALIGN_CENTRE, COLOUR_WHITE)) << c.qnh;
        if (c.unit == 0)
            EXPECT_TRUE(text_at(97, 110, "mB", 8, ALIGN_LEFT, COLOUR_GREY));
        else
            EXPECT_TRUE(text_at(100, 110, "IN", 8, ALIGN_LEFT, COLOUR_GREY));
        for (auto [x, y] : {std::pair(45, 109), std::pair(120, 127), std::pair(120, 109), std::pair(45, 127)})
            EXPECT_EQ(px(x, y), COLOUR_GREY) << "the grey frame's corner (" << x << "," << y << ")";
    }
}

TEST_F(MainDisplay, KeysOnThePages)
{
    // The right key cycles the pages.
    const uint8_t next[] = {1, 2, 0};
    for (uint8_t page = 0; page < 3; page++) {
        st.main_page = page;
        run_screen(KEY_RIGHT);
        EXPECT_EQ(st.main_page, next[page]);
    }

    // The left key: START/STOP on pages 0 and 1 in MANUAL, nothing in
    // DETECT, and RESET of the maximum airspeed on page 2.
    struct { uint8_t page, mode; bool question, reset; } cases[] = {
        {0, 0, true, false}, {1, 0, true, false}, {2, 0, false, true},
        {0, 1, false, false}, {1, 1, false, false}, {2, 1, false, true},
    };
    for (auto& c : cases) {
        st.current_screen = screen_main, st.main_page = c.page, st.flight_timer_mode = c.mode;
        st.max_airspeed = 123;
        run_screen(KEY_LEFT);
        EXPECT_EQ(st.current_screen == screen_flight_start_stop, c.question)
            << "page " << int(c.page) << " mode " << int(c.mode);
        EXPECT_EQ(st.max_airspeed, c.reset ? 0 : 123);
        EXPECT_EQ(st.main_page, c.page);
        EXPECT_EQ(st.pending_key, KEY_NONE);
    }
}

// The first and last rows with green in the tape's columns, searched from
// the top (or the bottom); -1 when there is none.
int green_row(bool from_top)
{
    for (int i = 0; i < LCD_HEIGHT; i++) {
        const int y = from_top ? i : LCD_HEIGHT - 1 - i;
        if (count_colour(0, y, 20, y, COLOUR_GREEN))
            return y;
    }
    return -1;
}

TEST_F(MainDisplay, VsiIndicatorLength)
{
    // tip_y: the peak of the last chevron, at x 10; -1 for the flat bar.
    struct { int16_t vs; uint8_t scale; int tip_y; } cases[] = {
        {1000, 0, 1},   {2000, 0, 1},    {6000, 0, 1},   // limited to 59 rows
        {-1000, 0, 127}, {-6000, 1, 127},
        {500, 0, 31},   {-500, 0, 97},   {1000, 1, 31},  {2000, 2, 31},
        {17, 0, 59},    {-17, 0, 69},    // the smallest one-row arrow
        {16, 0, -1},    {10, 2, -1},     {0, 0, -1},     {-67, 2, -1},
        {1000, 7, 31},  // a scale without a name reads as 2000 ft/min
    };
    for (auto& c : cases) {
        st.vertical_speed = c.vs, st.vsi_scale = c.scale;
        run_screen();
        if (c.tip_y < 0) {  // the bar: rows 64 and 65 of columns 0..20, nothing else green
            EXPECT_EQ(count_colour(0, 64, 20, 65, COLOUR_GREEN), 42) << c.vs << " scale " << int(c.scale);
            EXPECT_EQ(anywhere(COLOUR_GREEN), 42) << c.vs << " scale " << int(c.scale);
            continue;
        }
        // Along the arrow's axis (x 10) every row from the centre line to
        // the tip is green, or grey where the scale's end label is drawn over
        // it; nothing green lies beyond the tip. The first chevron peaks 5
        // rows from the centre line.
        const int lo = c.vs > 0 ? c.tip_y : 69, hi = c.vs > 0 ? 59 : c.tip_y;
        for (int y = lo; y <= hi; y++)
            EXPECT_TRUE(px(10, y) == COLOUR_GREEN || px(10, y) == COLOUR_GREY) << c.vs << " at y " << y;
        const int top = green_row(true), bottom = green_row(false);
        EXPECT_EQ(c.vs > 0 ? bottom : top, 64) << c.vs << " starts on the centre line";
        EXPECT_TRUE(c.vs > 0 ? top >= c.tip_y : bottom <= c.tip_y)
            << c.vs << ": green from row " << top << " to " << bottom;
        if (c.tip_y > 0 && c.tip_y < 127) {
            EXPECT_NE(px(10, c.tip_y + (c.vs > 0 ? -1 : 1)), COLOUR_GREEN) << c.vs << ": beyond the tip";
        }
    }
}

TEST_F(MainDisplay, VsiScaleReadingAndLabels)
{
    struct { uint8_t unit, scale; const char *upper, *lower; } cases[] = {
        {0, 0, "+1", "-1"}, {0, 1, "+2", "-2"}, {0, 2, "+4", "-4"}, {0, 9, "+1", "-1"},
        {1, 0, "+5", "-5"}, {1, 1, "+10", "-10"}, {1, 2, "+20", "-20"}, {1, 9, "+5", "-5"},
    };
    st.vertical_speed = 0;
    for (auto& c : cases) {
        st.vsi_unit = c.unit, st.vsi_scale = c.scale;
        run_screen();
        EXPECT_TRUE(text_at(12, 0, c.upper, 8, ALIGN_CENTRE, COLOUR_GREY)) << int(c.unit) << "/" << int(c.scale);
        EXPECT_TRUE(text_at(12, 115, c.lower, 8, ALIGN_CENTRE, COLOUR_GREY)) << int(c.unit) << "/" << int(c.scale);
        EXPECT_TRUE(text_at(102, 4, c.unit ? "m/s" : "fpm", 8, ALIGN_LEFT, COLOUR_GREY));
    }
    // The scale line at x 28 and its long and short ticks, as the gallery
    // shows them.
    EXPECT_TRUE(shows_picture("main_level", 22, 0, 28, LCD_HEIGHT - 1));

    // Readings in both units.
    struct { uint8_t unit; int16_t fpm, cms; const char* text; uint8_t size; } readings[] = {
        {0, 0, 0, "   +0", 12},    {0, 750, 381, " +750", 12}, {0, -6000, -3048, "-6000", 12},
        {1, 0, 0, " +0.0", 9},     {1, 750, 381, " +3.8", 9},  {1, -6000, -3048, "-30.5", 9},
    };
    for (auto& r : readings) {
        st.vsi_unit = r.unit, st.vsi_scale = 0, st.vertical_speed = r.fpm, st.vertical_speed_cms = r.cms;
        run_screen();
        EXPECT_TRUE(text_at(100, 0, r.text, r.size, ALIGN_RIGHT, COLOUR_WHITE)) << r.text;
    }

    // Hidden tape: no scale line, no green.
    st.vsi_display = 0;
    run_screen();
    EXPECT_EQ(anywhere(COLOUR_GREEN), 0);
    EXPECT_EQ(px(28, 40), 0);
}

TEST_F(MainDisplay, AltitudeAndAirspeedPositions)
{
    struct { uint8_t on_top, vsi; uint16_t alt_x, alt_y, unit_x, unit_y; uint8_t align; uint16_t asi_y; } cases[] = {
        {0, 1, 160, 61, 160, 103, ALIGN_RIGHT, 18}, {1, 1, 160, 18, 160, 60, ALIGN_RIGHT, 63},
        {0, 0, 132, 54, 145, 76, ALIGN_CENTRE, 8}, {1, 0, 132, 11, 145, 33, ALIGN_CENTRE, 53},
    };
    st.altitude = 12345, st.airspeed = 95;
    for (auto& c : cases) {
        for (uint8_t unit = 0; unit < 2; unit++) {
            st.alt_on_top = c.on_top, st.vsi_display = c.vsi, st.altitude_unit = unit, st.asi_unit = unit;
            run_screen();
            EXPECT_TRUE(text_at(c.alt_x, c.alt_y, "12345", 24, ALIGN_RIGHT, COLOUR_WHITE))
                << int(c.on_top) << int(c.vsi);
            EXPECT_TRUE(text_at(c.unit_x, c.unit_y, unit ? "m" : "ft", 9, c.align, COLOUR_GREY))
                << int(c.on_top) << int(c.vsi);
            EXPECT_TRUE(text_at(120, c.asi_y, "95", 24, ALIGN_RIGHT, COLOUR_WHITE)) << int(c.on_top) << int(c.vsi);
            EXPECT_TRUE(text_at(160, c.asi_y + 22, unit ? "km/h" : "mph", 9, ALIGN_RIGHT, COLOUR_GREY));
        }
    }
    st.asi_unit = 2, st.alt_on_top = 1, st.vsi_display = 1;
    run_screen();
    EXPECT_TRUE(text_at(160, 63 + 22, "kts", 9, ALIGN_RIGHT, COLOUR_GREY));
}

// The box behind a number over (x0, y0)-(x1, y1): its corners in the box's
// colour (the digits never reach them) and the pixels just outside each side
// not; box 0 means none, and then nothing on the LCD is red or yellow.
::testing::AssertionResult box_behind(uint8_t box, int x0, int x1, int y0, int y1)
{
    const int mid = (y0 + y1) / 2;
    for (auto [x, y] : {std::pair(x0, y0), std::pair(x1, y0), std::pair(x0, y1), std::pair(x1, y1)})
        if (px(x, y) != box)
            return ::testing::AssertionFailure() << "corner (" << x << "," << y << ") is " << int(px(x, y));
    for (auto [x, y] : {std::pair(x0, y0 - 1), std::pair(x0, y1 + 1), std::pair(x0 - 1, mid), std::pair(x1 + 1, mid)})
        if (box && px(x, y) == box)
            return ::testing::AssertionFailure() << "the box reaches (" << x << "," << y << ")";
    if (!box && anywhere(COLOUR_RED) + anywhere(COLOUR_YELLOW))
        return ::testing::AssertionFailure() << "red or yellow without a box";
    return ::testing::AssertionSuccess();
}

TEST_F(MainDisplay, AirspeedWarningAndCaution)
{
    // Limits 220, 180, 50, 30, 20.
    struct { uint16_t speed; uint8_t flight, blink; uint8_t box, digits; } cases[] = {
        {221, 0, 1, COLOUR_RED, COLOUR_WHITE},   // above Vne: blinks red
        {221, 0, 0, 0, COLOUR_WHITE},
        {220, 0, 1, COLOUR_YELLOW, COLOUR_BLACK}, // at Vne: caution only
        {220, 0, 0, COLOUR_YELLOW, COLOUR_BLACK}, // steady
        {181, 1, 1, COLOUR_YELLOW, COLOUR_BLACK},
        {180, 1, 1, 0, COLOUR_WHITE},             // at Vno: nothing
        {29, 1, 1, COLOUR_RED, COLOUR_WHITE},     // below Vs1 in flight
        {29, 1, 0, 0, COLOUR_WHITE},
        {29, 0, 1, 0, COLOUR_WHITE},              // below Vs1 on the ground: nothing
        {30, 1, 1, 0, COLOUR_WHITE},              // at Vs1
        {0, 0, 1, 0, COLOUR_WHITE},
        {0, 1, 1, COLOUR_RED, COLOUR_WHITE},
    };
    st.alt_on_top = 0, st.vsi_display = 1;
    const uint16_t y = 18;
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.speed << " flight " << int(c.flight) << " blink " << int(c.blink));
        st.airspeed = c.speed, st.flight_active = c.flight, st.blink_phase = c.blink;
        run_screen();
        const std::string number = std::to_string(c.speed);
        EXPECT_TRUE(text_at(120, y, number.c_str(), 24, ALIGN_RIGHT, c.digits));
        // The box spans one column left of the number to its end, rows
        // y + 5 to y + 43.
        const text_box place = place_text(120, y, number.c_str(), 24, ALIGN_RIGHT);
        EXPECT_TRUE(box_behind(c.box, place.start - 1, place.end, y + 5, y + 43));
    }
}

TEST_F(MainDisplay, MaxValuesThresholds)
{
    struct { uint16_t max; uint8_t box, digits; } cases[] = {
        {221, COLOUR_RED, COLOUR_WHITE},
        {220, COLOUR_RED, COLOUR_WHITE},     // at Vne: red here
        {219, COLOUR_YELLOW, COLOUR_BLACK},
        {181, COLOUR_YELLOW, COLOUR_BLACK},
        {50, COLOUR_YELLOW, COLOUR_BLACK},   // at Vfe: caution here
        {49, 0, COLOUR_WHITE},
        {0, 0, COLOUR_WHITE},
    };
    st.main_page = 2;
    for (auto& c : cases) {
        SCOPED_TRACE(c.max);
        st.max_airspeed = c.max, st.blink_phase = 0;
        run_screen();
        const std::string number = std::to_string(c.max);
        EXPECT_TRUE(text_at(80, 50, number.c_str(), 16, ALIGN_CENTRE, c.digits));
        // Rows 51 to 80, ending one column before text_end_x.
        const text_box place = place_text(80, 50, number.c_str(), 16, ALIGN_CENTRE);
        EXPECT_TRUE(box_behind(c.box, place.start - 1, place.end - 1, 51, 80));
    }
    // Heading, caption, unit and the RESET footer without the rotary hint:
    // all of the page but the number, as the gallery shows it.
    EXPECT_TRUE(shows_picture("max_values_plain", 0, 0, 159, 49));
    EXPECT_TRUE(shows_picture("max_values_plain", 0, 82, 159, 127));
}

TEST_F(MainDisplay, TimersPageSeparatorBlinksOnlyInFlight)
{
    struct { uint8_t active, blink; bool separator; } cases[] = {
        {1, 1, false}, {1, 0, true}, {0, 1, true}, {0, 0, true},
    };
    st.main_page = 1, st.flight_hours = 1, st.flight_minutes = 5;
    for (auto& c : cases) {
        st.flight_active = c.active, st.blink_phase = c.blink;
        run_screen();
        EXPECT_TRUE(shows_picture("timers_idle", 0, 0, 159, 39)) << "the heading and its rule";
        EXPECT_TRUE(text_at(85, 40, "1", 9, ALIGN_LEFT, COLOUR_WHITE)) << "one digit starts at x 85";
        EXPECT_TRUE(text_at(102, 40, "05", 9, ALIGN_LEFT, COLOUR_WHITE));
        EXPECT_TRUE(text_at(95, 40, ":", 9, ALIGN_LEFT, c.separator ? COLOUR_WHITE : 0))
            << int(c.active) << int(c.blink);
    }

    // Two-digit hours end before the separator rather than running into it;
    // a single digit still starts at x 85.
    struct { uint8_t hours, minutes; const char *h, *m; } times[] = {
        {0, 0, "0", "00"}, {9, 59, "9", "59"}, {10, 0, "10", "00"}, {99, 59, "99", "59"}};
    st.flight_active = 0;
    for (auto& t : times) {
        st.flight_hours = t.hours, st.flight_minutes = t.minutes;
        run_screen();
        EXPECT_TRUE(text_at(95, 40, t.h, 9, ALIGN_RIGHT, COLOUR_WHITE)) << int(t.hours);
        EXPECT_TRUE(text_at(95, 40, ":", 9, ALIGN_LEFT, COLOUR_WHITE)) << int(t.hours);
        EXPECT_TRUE(text_at(102, 40, t.m, 9, ALIGN_LEFT, COLOUR_WHITE)) << int(t.hours);
        auto hours = place_text(95, 40, t.h, 9, ALIGN_RIGHT);
        EXPECT_LE(hours.end, 95);
        if (t.hours < 10) {
            EXPECT_EQ(hours.start, 85);
        }
        auto caption = place_text(0, 40, "FLIGHT:", 9, ALIGN_LEFT);
        EXPECT_LT(caption.end, hours.start) << "the caption and the hours stay apart";
    }
}

TEST_F(MainDisplay, SensorErrorBoxOnlyOnTheInstrumentPage)
{
    st.alt_sensor_ok = 0;
    run_screen();
    // The red box (16, 17)-(145, 88) framed in white with its three lines, as
    // the gallery shows it over other readings, and nothing red outside it.
    EXPECT_TRUE(shows_picture("main_sensor_error", 16, 17, 145, 88));
    EXPECT_EQ(anywhere(COLOUR_RED), count_colour(17, 18, 144, 87, COLOUR_RED));
    // The QNH box below stays visible and keys keep working.
    EXPECT_EQ(px(45, 109), COLOUR_GREY);
    run_screen(KEY_CW);
    EXPECT_EQ(st.qnh, 1014250u);

    for (uint8_t page = 1; page < 3; page++) {
        st.main_page = page;
        run_screen();
        EXPECT_EQ(anywhere(COLOUR_RED), 0) << "page " << int(page);
    }
}

TEST_F(MainDisplay, StartStopQuestionAnswers)
{
    struct { uint8_t key, active_before; uint8_t active_after; bool time_cleared; } cases[] = {
        {KEY_RIGHT, 0, 1, true},  {KEY_RIGHT, 1, 0, false},
        {KEY_LEFT, 0, 0, false},  {KEY_LEFT, 1, 1, false},
        {KEY_PUSH, 0, 0, false},  {KEY_CW, 1, 1, false},  {KEY_CCW, 0, 0, false},
    };
    for (auto& c : cases) {
        st.current_screen = screen_flight_start_stop, st.main_page = 1, st.flight_active = c.active_before;
        st.flight_hours = 2, st.flight_minutes = 3, st.flight_seconds = 4;
        run_screen();
        EXPECT_EQ(st.current_screen, screen_flight_start_stop) << "waits for a key";
        EXPECT_TRUE(shows_picture(c.active_before ? "flight_stop_question" : "flight_start_question"));

        run_screen(c.key);
        EXPECT_EQ(st.current_screen, screen_main) << "key " << int(c.key);
        EXPECT_EQ(st.pending_key, KEY_NONE);
        EXPECT_EQ(st.main_page, 1) << "back on the same page";
        EXPECT_EQ(st.flight_active, c.active_after) << "key " << int(c.key);
        const auto time = std::tuple<int, int, int>(st.flight_hours, st.flight_minutes, st.flight_seconds);
        EXPECT_EQ(time, c.time_cleared ? std::tuple(0, 0, 0) : std::tuple(2, 3, 4)) << "the flight time";
    }
}

}  // namespace
