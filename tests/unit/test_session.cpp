// The session every host runs, against a fake host whose clock the test
// steps: instruments kept apart, the one flight policy, and the one scenario
// executor on both of its clocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenario/fields.h"
#include "session/scenario_executor.h"
#include "session/session.h"

namespace {

// What a host's followers hear.
struct heard final : session_observer {
    std::vector<std::string> notices;
    int ticks = 0, passes = 0;
    void session_notice(const char* text) override { notices.emplace_back(text); }
    void session_ticked() override { ticks++; }
    void session_passed() override { passes++; }
};

struct collected final : scenario_output {
    std::vector<std::string> lines;
    int ended_with = -1;
    std::vector<long> played;
    void line_played(long line) override { played.push_back(line); }
    void printed(const char* line) override { lines.emplace_back(line); }
    void failed(long line, const char* message) override { lines.push_back(std::to_string(line) + ": " + message); }
    void warned(long line, const char* message) override { failed(line, message); }
    void ended(int status) override { ended_with = status; }
};

std::string printed(instrument_session& session, const char* name)
{
    session.activate();
    char value[FIELD_VALUE_CAPACITY];
    format_field(*find_field(name), value);
    return value;
}

// Ten minutes at 100 km/h and 1500 ft.
std::unique_ptr<flight> level_flight()
{
    auto f = std::make_unique<flight>();
    for (int minute = 0; minute <= 10; minute++) {
        flight_fix fix;
        fix.time = 36000 + 60 * minute;
        fix.pressure_altitude_m = 1500 * 0.3048;
        fix.ias_kmh = 100;
        f->fixes.push_back(fix);
    }
    flight_prepare(*f);
    return f;
}

}  // namespace

TEST(Session, InstrumentsInOneProcessKeepTheirOwnState)
{
    instrument_session a, b;
    a.switch_on();
    b.switch_on();
    a.set_input(sensor_input::altitude, 1200);
    b.set_input(sensor_input::altitude, 3400);
    a.post_key(3);  // KEY_PUSH opens the main menu
    for (int i = 0; i < 2; i++) {
        a.pass(NO_DISPLAY);
        b.pass(NO_DISPLAY);
    }
    b.post_key(4);  // KEY_CW on the main display: QNH 1 mb up
    b.pass(NO_DISPLAY);
    EXPECT_EQ(printed(a, "current_screen"), "screen_main_menu");
    EXPECT_EQ(printed(b, "current_screen"), "screen_main");
    EXPECT_EQ(printed(a, "qnh"), "1013250");
    EXPECT_EQ(printed(b, "qnh"), "1014250");
    EXPECT_EQ(a.input(sensor_input::altitude), 1200);
    EXPECT_EQ(b.input(sensor_input::altitude), 3400);
    std::vector<uint8_t> menu(a.frame(), a.frame() + LCD_WIDTH * LCD_HEIGHT);
    EXPECT_NE(menu, std::vector<uint8_t>(b.frame(), b.frame() + LCD_WIDTH * LCD_HEIGHT));
    // A key waits for the next pass of its own instrument only.
    a.post_key(4);
    EXPECT_TRUE(a.key_pending());
    EXPECT_FALSE(b.key_pending());
    a.pass(NO_DISPLAY);
    EXPECT_FALSE(a.key_pending());
    // A third, made while both live, starts from program start.
    instrument_session c;
    EXPECT_FALSE(c.running());
    EXPECT_EQ(printed(c, "qnh"), "0");
    EXPECT_EQ(printed(a, "qnh"), "1013250");
}

TEST(Session, OneFlightPolicyForEveryHost)
{
    instrument_session session;
    heard h;
    session.add_observer(&h);
    session.flight().open(level_flight());
    // Off: nothing mapped through settings that were never loaded.
    EXPECT_EQ(session.input(sensor_input::asi_adc), 0);
    EXPECT_EQ(session.input(sensor_input::altitude), 0);
    session.flight().play();
    EXPECT_TRUE(session.running());
    ASSERT_EQ(h.notices.size(), 1u);
    EXPECT_EQ(h.notices[0], "Switched the instrument on to fly the flight");
    session.clock_tick();
    EXPECT_GT(session.input(sensor_input::asi_adc), 0);
    EXPECT_EQ(session.input(sensor_input::altitude), 1500);  // ft at the factory's 1013 mb
    EXPECT_DOUBLE_EQ(session.flight().time(), 36000.1);

    const struct {
        const char* what;
        void (*act)(instrument_session&);
        const char* notice;
        bool stays_on;
    } pauses[] = {
        {"a hand on a slider", [](instrument_session& s) { s.set_input(sensor_input::asi_adc, 900); },
         "Flight paused: the ASI slider was moved by hand", true},
        {"Off", [](instrument_session& s) { s.switch_off(); }, "Flight paused: the instrument was switched off",
         false},
    };
    for (const auto& p : pauses) {
        SCOPED_TRACE(p.what);
        session.flight().play();
        ASSERT_TRUE(session.flight().playing());
        h.notices.clear();
        p.act(session);
        EXPECT_FALSE(session.flight().playing());
        EXPECT_EQ(session.running(), p.stays_on);
        ASSERT_FALSE(h.notices.empty());
        EXPECT_EQ(h.notices[0], p.notice);
    }
    // Closed while it plays: nothing plays, nothing is at an end.
    session.flight().play();
    session.flight().close();
    EXPECT_FALSE(session.flight().playing());
    EXPECT_FALSE(session.flight().at_end());
    EXPECT_EQ(session.flight().time(), 0.0);
    session.flight().open(level_flight());
    // A scenario starting pauses it too.
    session.flight().play();
    collected out;
    scenario_executor executor(session, NO_DISPLAY, LENDS_NOTHING, out, scenario_clock::immediate);
    executor.begin();
    EXPECT_FALSE(session.flight().playing());
    session.remove_observer(&h);
}

TEST(Session, FastPlayRunsEveryTickWithItsPassAndStopsAtTheEnd)
{
    instrument_session session;
    heard h;
    session.add_observer(&h);
    session.flight().open(level_flight());
    EXPECT_FALSE(session.flight().set_speed(3));
    EXPECT_FALSE(session.flight().set_speed(0));
    EXPECT_TRUE(session.flight().set_speed(60));
    EXPECT_TRUE(session.flight().set_speed(1));
    EXPECT_TRUE(session.flight().set_speed(5));
    session.flight().play();
    h.ticks = h.passes = 0;
    session.clock_tick();
    // One host tick: five ticks of flight time, the host's own pass shows the last.
    EXPECT_EQ(h.ticks, 5);
    EXPECT_EQ(h.passes, 4);
    EXPECT_DOUBLE_EQ(session.flight().time(), 36000.5);
    // Ten minutes at 60 x: 100 host ticks, less the half second already flown.
    session.flight().set_speed(60);
    int host_ticks = 0;
    while (session.flight().playing() && host_ticks < 1000) {
        session.clock_tick();
        host_ticks++;
    }
    EXPECT_EQ(host_ticks, 100);
    EXPECT_TRUE(session.flight().at_end());
    EXPECT_EQ(h.notices.back(), "The flight has been played to its end");
    // Played again from the start.
    session.flight().play();
    EXPECT_DOUBLE_EQ(session.flight().time(), 36000.0);
    session.remove_observer(&h);
}

TEST(Session, OneExecutorOnBothClocks)
{
    const char* script =
        "on\nasi 1000\nwait 20\nexpect airspeed 144\nexpect airspeed 140..143\ntick 3\npass 2\n"
        "expect current_screen screen_main\nflight none.igc\nexpect airspeed 0\n";
    const struct {
        scenario_clock clock;
    } clocks[] = {{scenario_clock::immediate}, {scenario_clock::live}};
    for (const auto& c : clocks) {
        SCOPED_TRACE(c.clock == scenario_clock::live ? "live" : "immediate");
        instrument_session session;
        collected out;
        scenario_executor executor(session, NO_DISPLAY, LENDS_NOTHING, out, c.clock);
        executor.run(script);
        // The fake host's clock: a tick, then the passes of 100 ms at 60 a second.
        for (int tick = 0; tick < 100 && executor.playing(); tick++) {
            session.clock_tick();
            for (int p = 0; p < 6; p++)
                session.pass(NO_DISPLAY);
        }
        const scenario_result& r = executor.result();
        EXPECT_EQ(r.status, SCENARIO_BAD_LINE);
        EXPECT_EQ(r.tally.passed, 2);
        EXPECT_EQ(r.tally.failed, 1);
        EXPECT_EQ(r.stopped_at, 9);
        EXPECT_TRUE(r.on);
        ASSERT_EQ(r.failures.size(), 2u);
        EXPECT_EQ(r.failures[0].line, 5);
        EXPECT_EQ(r.failures[0].message, "expected airspeed=140..143, got 144");
        EXPECT_EQ(r.failures[1].message, "flight: this host has no flights");
        if (c.clock == scenario_clock::live) {
            EXPECT_EQ(out.ended_with, SCENARIO_BAD_LINE);
        }
    }
}

// A live "fly": the flight lent by the host plays in step with the host's
// clock while the run waits for its ticks and the pass after them.
TEST(Session, LiveFlyWaitsForTheFlightsTicks)
{
    struct lends_a_flight final : scenario_lender {
        bool lends_flights() const override { return true; }
        std::unique_ptr<flight> read_flight(const char* path, std::string& error, std::string&) override
        {
            if (std::string(path) == "level.igc")
                return level_flight();
            error = std::string(path) + ": it has no valid fix";
            return nullptr;
        }
    } lender;
    instrument_session session;
    collected out;
    scenario_executor executor(session, NO_DISPLAY, lender, out, scenario_clock::live);
    executor.run("flight level.igc\non\nfly 3\nprint pending_key");
    for (int tick = 0; tick < 30; tick++) {
        ASSERT_TRUE(executor.playing());
        session.clock_tick();
    }
    EXPECT_TRUE(out.lines.empty());
    session.pass(NO_DISPLAY);
    EXPECT_EQ(out.lines, std::vector<std::string>{"pending_key=0"});
    EXPECT_EQ(out.ended_with, SCENARIO_OK);
    EXPECT_DOUBLE_EQ(session.flight().time(), 36003.0);
    EXPECT_FALSE(session.flight().playing());

    executor.run("flight bad.igc");
    EXPECT_EQ(out.lines.back(), "1: flight: bad.igc: it has no valid fix");
    EXPECT_EQ(out.ended_with, SCENARIO_BAD_LINE);
}

// A remote control's run: each line plays when the one before has, its waits
// on the host's clock; a bad line, or an Off while a line waits for passes,
// fails that line alone and the run goes on.
TEST(Session, OpenRunPlaysALineAtATime)
{
    instrument_session session;
    collected out;
    scenario_executor executor(session, NO_DISPLAY, LENDS_NOTHING, out, scenario_clock::live);
    EXPECT_FALSE(executor.play_line("on"));  // no run open
    executor.open();
    const struct {
        const char* line;
        int ticks, passes;           // the host's clock after the line is given
        bool off_first;              // the user switches off before the clock moves
        bool played;                 // the line has been played once the clock has moved
        std::vector<std::string> said;
    } rows[] = {
        {"on", 0, 0, false, true, {}},
        {"asi 5000", 0, 0, false, true, {"2: asi: value 5000 outside 0..4096"}},
        {"wait 3", 2, 0, false, false, {}},
        {"", 1, 0, false, false, {}},  // the third tick: the pass after it still due
        {"", 0, 1, false, true, {}},
        {"expect current_screen screen_minor", 0, 0, false, true,
         {"4: expected current_screen=screen_minor, got screen_main"}},
        {"wait 5", 2, 0, true, true,
         {"5: the instrument was switched off before the passes this line waits for"}},
        {"print pending_key", 0, 0, false, true, {"pending_key=0"}},
        {"pass", 0, 0, false, true, {"7: pass: the instrument is off (switch it on with \"on\")"}},
    };
    long lines_given = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        out.lines.clear();
        out.played.clear();
        if (r.line[0] != '\0' || lines_given == 0) {
            ASSERT_TRUE(executor.play_line(r.line));
            lines_given++;
        } else {
            EXPECT_FALSE(executor.play_line("print qnh"));  // the line before still runs
        }
        if (r.off_first)
            session.switch_off();
        for (int t = 0; t < r.ticks; t++)
            session.clock_tick();
        for (int p = 0; p < r.passes; p++)
            session.pass(NO_DISPLAY);
        EXPECT_EQ(out.lines, r.said);
        EXPECT_EQ(out.played, r.played ? std::vector<long>{lines_given} : std::vector<long>{});
        EXPECT_EQ(executor.line_running(), !r.played);
    }
    EXPECT_EQ(out.ended_with, -1);  // an open run never ends by itself
    executor.stop();
    EXPECT_FALSE(executor.play_line("on"));
}

// Off while a scenario waits for passes ends it on that line: it would
// wait for ever.
TEST(Session, OffWhileAScenarioWaitsEndsIt)
{
    instrument_session session;
    collected out;
    scenario_executor executor(session, NO_DISPLAY, LENDS_NOTHING, out, scenario_clock::live);
    executor.run("on\ntick 2\nwait 4\nprint qnh");
    session.switch_off();  // waiting for ticks alone: nothing to fail
    session.clock_tick();
    session.switch_on();
    session.clock_tick();  // "wait 4" begins
    session.clock_tick();
    session.switch_off();
    EXPECT_FALSE(executor.playing());
    EXPECT_EQ(out.ended_with, SCENARIO_BAD_LINE);
    EXPECT_EQ(executor.result().stopped_at, 3);
    EXPECT_EQ(out.lines,
              std::vector<std::string>{"3: the instrument was switched off before the passes this line waits for"});
}
