#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/flight_timer.h"
#include "core/state.h"

namespace {

constexpr uint8_t MANUAL = 0, DETECT = 1;

// The state right after switch-on, in the given mode.
void fresh(uint8_t mode, uint16_t takeoff = 30)
{
    load_default_settings();
    st.flight_timer_mode = mode, st.takeoff_airspeed = takeoff, st.airspeed = 0, st.flight_active = 0;
    st.landing_countdown = 0, st.flight_hours = st.flight_minutes = st.flight_seconds = st.flight_tenths = 0;
}

// The flight time as the TIMERS page would read it, with the seconds.
std::string flight_time()
{
    char text[16];
    snprintf(text, sizeof text, "%d:%02d:%02d", int(st.flight_hours), int(st.flight_minutes), int(st.flight_seconds));
    return text;
}

void steps(int n, uint16_t airspeed)
{
    st.airspeed = airspeed;
    for (int i = 0; i < n; ++i)
        flight_timer_step();
}

}  // namespace

TEST(FlightTimer, OneStepAtOrBelowTakeoffAirspeed)
{
    // A flight started in a step counts that step as the first tenth.
    struct Row { const char* what; uint8_t mode; uint16_t takeoff, airspeed;
                 uint8_t active, tenths, countdown; };
    const Row rows[] = {
        {"DETECT at take-off airspeed", DETECT, 30, 30, 1, 1, 30}, {"DETECT above", DETECT, 30, 200, 1, 1, 30},
        {"DETECT one below", DETECT, 30, 29, 0, 0, 0}, {"DETECT take-off 0, standing", DETECT, 0, 0, 1, 1, 30},
        {"DETECT take-off 500, top speed", DETECT, 500, 402, 0, 0, 0},
        {"MANUAL at take-off airspeed", MANUAL, 30, 30, 0, 0, 30},
        {"MANUAL below", MANUAL, 30, 29, 0, 0, 0},
    };
    for (const Row& r : rows) {
        fresh(r.mode, r.takeoff);
        steps(1, r.airspeed);
        SCOPED_TRACE(r.what);
        EXPECT_EQ(st.flight_active, r.active);
        EXPECT_EQ(st.flight_tenths, r.tenths);
        EXPECT_EQ(st.flight_seconds, 0);
        EXPECT_EQ(st.landing_countdown, r.countdown);
    }
}

TEST(FlightTimer, DetectedFlightRestartsItsTimeFromZero)
{
    fresh(DETECT);
    st.flight_hours = 3, st.flight_minutes = 14;
    st.flight_seconds = 15, st.flight_tenths = 9;  // time of an earlier flight
    steps(1, 50);
    EXPECT_EQ(flight_time(), "0:00:00");
    EXPECT_EQ(st.flight_tenths, 1);
    steps(9, 50);  // the starting step is the first of ten
    EXPECT_EQ(flight_time(), "0:00:01");
    EXPECT_EQ(st.flight_tenths, 0);
}

// A second of flight time for every ten steps of the 100 ms time base.
TEST(FlightTimer, TenStepsASecond)
{
    const struct {
        int steps;
        const char* time;
    } rows[] = {
        {1, "0:00:00"},       {9, "0:00:00"},        {10, "0:00:01"},        {11, "0:00:01"},
        {599, "0:00:59"},     {600, "0:01:00"},      {35999, "0:59:59"},     {36000, "1:00:00"},
        {3599990, "99:59:59"}, {3599999, "99:59:59"}, {3600000, "99:00:00"},  // the hours hold at 99
    };
    for (const auto& r : rows) {
        fresh(MANUAL);
        flight_start_stop();
        steps(r.steps, 0);
        EXPECT_EQ(flight_time(), r.time) << r.steps << " steps";
    }
}

TEST(FlightTimer, LandingCountdownOf30)
{
    fresh(DETECT);
    steps(10, 40);              // airborne for 10 steps
    steps(29, 20);              // 29 steps below: still flying
    EXPECT_EQ(st.flight_active, 1);
    EXPECT_EQ(st.landing_countdown, 1);
    steps(1, 30);               // one step at the threshold re-arms the count
    EXPECT_EQ(st.landing_countdown, 30);
    steps(29, 0);
    EXPECT_EQ(st.flight_active, 1);
    steps(1, 0);                // the 30th consecutive step below ends it
    EXPECT_EQ(st.flight_active, 0);
    EXPECT_EQ(st.landing_countdown, 0);
    // Counted: 10 + 29 + 1 + 29 steps; the ending step is not counted.
    EXPECT_EQ(flight_time(), "0:00:06");
    EXPECT_EQ(st.flight_tenths, 9);
    steps(50, 0);               // the time stays showing after the flight
    EXPECT_EQ(flight_time(), "0:00:06");
    EXPECT_EQ(st.flight_tenths, 9);
}

TEST(FlightTimer, TakeoffAirspeedZeroNeverLands)
{
    fresh(DETECT, 0);
    steps(5000, 0);
    EXPECT_EQ(st.flight_active, 1);
    EXPECT_EQ(st.landing_countdown, 30);
    EXPECT_EQ(flight_time(), "0:08:20");
}

TEST(FlightTimer, ManualStartStop)
{
    fresh(MANUAL);
    steps(5, 200);                      // speed alone starts nothing
    EXPECT_EQ(st.flight_active, 0);

    flight_start_stop();                // START
    EXPECT_EQ(st.flight_active, 1);
    EXPECT_EQ(flight_time(), "0:00:00");
    steps(40, 0);                       // nor does standing still end it
    steps(45, 200);
    EXPECT_EQ(st.flight_active, 1);
    EXPECT_EQ(flight_time(), "0:00:08");

    flight_start_stop();                // STOP keeps the time showing
    EXPECT_EQ(st.flight_active, 0);
    steps(10, 200);
    EXPECT_EQ(flight_time(), "0:00:08");
    EXPECT_EQ(st.flight_tenths, 5);

    flight_start_stop();                // START again from zero
    EXPECT_EQ(st.flight_active, 1);
    EXPECT_EQ(flight_time(), "0:00:00");
    EXPECT_EQ(st.flight_tenths, 0);
    steps(9, 0);
    EXPECT_EQ(flight_time(), "0:00:00");
    steps(1, 0);
    EXPECT_EQ(flight_time(), "0:00:01");
}

TEST(FlightTimer, Carries)
{
    // The tenth step of a second carries; the ninth does not.
    struct Row { uint8_t h, m, s, tenths; const char* after; uint8_t tenths_after; };
    const Row rows[] = {
        {0, 0, 0, 8, "0:00:00", 9},     {0, 0, 0, 9, "0:00:01", 0},    {0, 0, 59, 8, "0:00:59", 9},
        {0, 0, 59, 9, "0:01:00", 0},    {0, 59, 59, 9, "1:00:00", 0},  {98, 59, 59, 9, "99:00:00", 0},
        {99, 0, 0, 9, "99:00:01", 0},   {99, 59, 59, 8, "99:59:59", 9},
        {99, 59, 59, 9, "99:00:00", 0},  // the hours hold at 99
    };
    for (const Row& r : rows) {
        fresh(MANUAL);
        st.flight_active = 1;
        st.flight_hours = r.h, st.flight_minutes = r.m, st.flight_seconds = r.s, st.flight_tenths = r.tenths;
        steps(1, 0);
        EXPECT_EQ(flight_time(), r.after) << "after " << int(r.h) << ":" << int(r.m) << ":" << int(r.s) << "."
                                          << int(r.tenths);
        EXPECT_EQ(st.flight_tenths, r.tenths_after);
    }
}

TEST(FlightTimer, ChangingModeDuringAFlight)
{
    // MANUAL flight that never reached the threshold, then DETECT: the
    // countdown is 0 and is not decremented, so the flight continues.
    fresh(MANUAL);
    flight_start_stop();
    steps(10, 0);
    st.flight_timer_mode = DETECT;
    steps(100, 0);
    EXPECT_EQ(st.flight_active, 1);
    steps(1, 30);
    steps(29, 0);
    EXPECT_EQ(st.flight_active, 1);
    steps(1, 0);
    EXPECT_EQ(st.flight_active, 0);

    // DETECT flight, then MANUAL: the countdown stops where it was.
    fresh(DETECT);
    steps(1, 100);
    steps(5, 0);
    EXPECT_EQ(st.landing_countdown, 25);
    st.flight_timer_mode = MANUAL;
    steps(100, 0);
    EXPECT_EQ(st.flight_active, 1);
    EXPECT_EQ(st.landing_countdown, 25);
}
