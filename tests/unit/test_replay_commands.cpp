// The replay's commands: what each does to the instrument and what it prints.
#include <cctype>

#include "core/flight_timer.h"
#include "gfx/lcd.h"
#include "screens/screens.h"
#include "test_replay_support.h"

namespace {

// Program start and "on", the timer's counters, key posting and the sensor
// inputs are played step by step by the scenario tests replay_startup,
// replay_timing, replay_keys and replay_sensors; here are the rest of the
// commands' rules.
struct command_case { const char* what; const char* script; const char* expected; };

const command_case command_cases[] = {
    {"off while off still requests the stop", "off\nprint stop_requested", "stop_requested=1\n"},
    {"on again after off", "on\noff\non\npass\nprint stop_requested", "stop_requested=0\n"},
    {"tick default is one", "tick\nprint tick_counter blink_divider", "tick_counter=1\nblink_divider=1\n"},
    {"tick counts", "tick 7\nprint tick_counter blink_divider blink_phase",
     "tick_counter=7\nblink_divider=7\nblink_phase=0\n"},
    {"tick 0 does nothing", "tick 0\nprint tick_counter", "tick_counter=0\n"},
    {"wait is a tick then a pass", "on\nwait 1\nprint tick_counter blink_divider", "tick_counter=0\nblink_divider=1\n"},
    {"wait 0 runs nothing", "on\nwait 0\nprint tick_counter blink_divider", "tick_counter=0\nblink_divider=0\n"},
    {"pass 0 while on", "on\npass 0\nprint tick_counter", "tick_counter=0\n"},
    {"each key's code",
     "key left\nprint pending_key\non\nkey right\nprint pending_key\non\nkey push\nprint pending_key\non\n"
     "key cw\nprint pending_key\non\nkey ccw\nprint pending_key",
     "pending_key=1\npending_key=2\npending_key=3\npending_key=4\npending_key=5\n"},
    {"sliders at their upper ends", "altitude 65535\nvsi 6000\nasi 4096\nprint altitude vertical_speed asi_adc",
     "altitude=65535\nvertical_speed=6000\nasi_adc=4096\n"},
    {"sliders at their lower ends", "altitude 0\nvsi -6000\nasi 0\nprint altitude vertical_speed asi_adc",
     "altitude=0\nvertical_speed=-6000\nasi_adc=0\n"},
    {"a leading plus is accepted", "vsi +1200\nprint vertical_speed", "vertical_speed=1200\n"},
    {"comments and blanks", "  # a comment\n\n\t\n\ttick   2   # two ticks\nprint tick_counter#no blank needed",
     "tick_counter=2\n"},
    {"carriage returns count as blanks", "tick 3\r\nprint tick_counter\r\n", "tick_counter=3\n"},
    {"print repeats names in order", "print tick_counter lamp tick_counter",
     "tick_counter=0\nlamp=maroon\ntick_counter=0\n"},
    {"an empty script", "", ""},
};

class Command : public testing::TestWithParam<command_case> {};

TEST_P(Command, PrintsWhatItDid)
{
    const command_case& c = GetParam();
    replay_result r = run_script(c.script);
    EXPECT_EQ(r.status, REPLAY_OK) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Replay, Command, testing::ValuesIn(command_cases),
                         [](const testing::TestParamInfo<command_case>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; p++)
                                 name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(ReplayRun, StartsFromProgramStartEveryRun)
{
    ASSERT_EQ(run_script("on\naltitude 500\nkey cw\nsensor fault\nasi 3000\npass 3").status, REPLAY_OK);
    lcd_buffer[77] = 9;
    replay_result r = run_script("print qnh altitude pending_key asi_adc current_screen");
    EXPECT_EQ(r.out, "qnh=0\naltitude=0\npending_key=0\nasi_adc=0\ncurrent_screen=screen_main\n");
    EXPECT_EQ(lcd_buffer[77], 0);
    // Off again: a pass is refused.
    EXPECT_EQ(run_script("pass").status, REPLAY_FAILED);
    // Check box checked again.
    EXPECT_EQ(run_script("on\npass\nprint alt_sensor_ok").out, "alt_sensor_ok=1\n");
}

TEST(ReplayRun, ExecuteContinuesFromTheLastState)
{
    ASSERT_EQ(run_script("on\ntick 4").status, REPLAY_OK);
    replay_result r = run_script("tick\npass\nprint tick_counter qnh", false);
    EXPECT_EQ(r.status, REPLAY_OK);
    EXPECT_EQ(r.out, "tick_counter=5\nqnh=1013250\n");
}

TEST(ReplayRun, SwitchOnResetsWhatTheWindowResets)
{
    ASSERT_EQ(run_script("on").status, REPLAY_OK);
    st.alarm_active = 1, st.alarm_ack = 1, st.flight_active = 1, st.flight_seconds = 9;
    st.landing_countdown = 7, st.edit_step = 100, st.current_screen = screen_info, st.main_page = 2;
    st.test_altitude = 777;
    replay_result r = run_script(
        "on\nprint alarm_active alarm_ack flight_active flight_seconds landing_countdown edit_step current_screen "
        "main_page test_altitude",
        false);
    EXPECT_EQ(r.out,
              "alarm_active=0\nalarm_ack=0\nflight_active=0\nflight_seconds=0\nlanding_countdown=0\nedit_step=1\n"
              "current_screen=screen_main\nmain_page=2\ntest_altitude=777\n");
}

// wait N must step the flight timer exactly as N ticks each followed by a
// pass do: once per tick.
TEST(ReplayWait, StepsTheFlightTimerOncePerTick)
{
    for (int n : {1, 7, 25, 130}) {
        ASSERT_EQ(run_script("on").status, REPLAY_OK);
        st.flight_active = 1;
        ASSERT_EQ(run_script("wait " + std::to_string(n), false).status, REPLAY_OK);
        const uint8_t tenths = st.flight_tenths, seconds = st.flight_seconds, minutes = st.flight_minutes;

        ASSERT_EQ(run_script("on").status, REPLAY_OK);
        st.flight_active = 1;
        for (int i = 0; i < n; i++)
            flight_timer_step();
        EXPECT_EQ(tenths, st.flight_tenths) << "wait " << n;
        EXPECT_EQ(seconds, st.flight_seconds) << "wait " << n;
        EXPECT_EQ(minutes, st.flight_minutes) << "wait " << n;
        EXPECT_NE(unsigned(tenths) + seconds + minutes, 0u) << "wait " << n << " stepped nothing";
    }
}

// Passes without ticks step nothing; five ticks then one pass lose their
// steps, the counter having gone past 1.
TEST(ReplayWait, PassesWithoutTicksAndTicksWithoutPassesDoNotStepTheTimer)
{
    const struct { const char* script; uint8_t tick_counter; } cases[] = {{"pass 50", 0}, {"tick 5\npass", 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        ASSERT_EQ(run_script("on").status, REPLAY_OK);
        st.flight_active = 1;
        ASSERT_EQ(run_script(c.script, false).status, REPLAY_OK);
        EXPECT_EQ(st.flight_tenths, 0);
        EXPECT_EQ(st.flight_seconds, 0);
        EXPECT_EQ(st.flight_minutes, 0);
        EXPECT_EQ(st.tick_counter, c.tick_counter);
    }
}

TEST(ReplayLamp, FollowsTheLastPass)
{
    ASSERT_EQ(run_script("on\npass").status, REPLAY_OK);
    // An unacknowledged alarm, seen by the next pass.
    st.alarm_active = 1, st.alarm_ack = 0;
    EXPECT_EQ(run_script("print lamp", false).out, "lamp=maroon\n");
    // The airspeed update of the pass may change the alarm after step 1 set
    // the lamp; the lamp shows what step 1 saw.
    EXPECT_EQ(run_script("pass\nprint lamp", false).out, "lamp=red\n");
    st.alarm_active = 1, st.alarm_ack = 1;
    EXPECT_EQ(run_script("pass\nprint lamp", false).out, "lamp=maroon\n");
    // Off keeps the last colour.
    st.alarm_active = 1, st.alarm_ack = 0;
    EXPECT_EQ(run_script("pass\noff\nprint lamp", false).out, "lamp=red\n");
}

TEST(ReplayStream, ReadsLinesFromAFile)
{
    // The last line has no newline; a CRLF line; a blank line.
    const replay_result r = run_stream("tick 2\r\n\nprint tick_counter\nprint blink_divider");
    EXPECT_EQ(r.status, REPLAY_OK);
    EXPECT_EQ(r.out, "tick_counter=2\nblink_divider=2\n");
    EXPECT_EQ(r.err, "");
}

TEST(ReplayStream, ReportsLineNumbersFromAFile)
{
    const replay_result r = run_stream("# one\n\ntick\nprint nosuch\ntick\n");
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(r.err, "ktr7-replay: line 4: print: unknown name \"nosuch\"\n");
    EXPECT_EQ(st.tick_counter, 1);
}

TEST(ReplayStream, ALongLineIsReadWhole)
{
    std::string script = "print";
    for (int i = 0; i < 2000; i++)
        script += " tick_counter";
    const replay_result r = run_stream(script + "\n");
    EXPECT_EQ(r.status, REPLAY_OK);
    std::string expected;
    for (int i = 0; i < 2000; i++)
        expected += "tick_counter=0\n";
    EXPECT_EQ(r.out, expected);
}

}  // namespace
