// Flights in the replay tool: the scenario commands flight and fly, their
// bad lines, and --flight's summary and trace of the example flight (a
// ground run, take-off, climb of 480 m from a 457 m field, cruise, a dive
// to 370 km/h, descent and landing; scenarios/flights/make_example.py).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "replay/replay_flight.h"
#include "scenario/scenario_player.h"
#include "test_replay_support.h"

namespace {

const std::string FLIGHTS = KTR7_SOURCE_DIR "/scenarios/flights";
const std::string EXAMPLE = FLIGHTS + "/example.igc";

TEST(ReplayFlight, BadLines)
{
    const struct {
        const char* script;
        const char* message;
    } rows[] = {
        {"fly", "line 1: fly: missing seconds (0..100000000)"},
        {"fly -1", "line 1: fly: seconds -1 outside 0..100000000"},
        {"fly 100000001", "line 1: fly: seconds 100000001 outside 0..100000000"},
        {"fly soon", "line 1: fly: malformed number \"soon\""},
        {"fly end now", "line 1: fly: extra argument \"now\""},
        {"flight", "line 1: flight: missing file name"},
        {"flight a b", "line 1: flight: extra argument \"b\""},
        {"on\nfly 1", "line 2: fly: no flight loaded (load one with \"flight FILE\")"},
        {"flight /nonexistent/x.igc", "line 1: flight: /nonexistent/x.igc: cannot read: No such file or directory"},
    };
    replay_set_reference_folder(nullptr);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.script);
        const replay_result result = run_script(r.script);
        EXPECT_EQ(result.status, REPLAY_FAILED);
        EXPECT_EQ(result.err, std::string("ktr7-replay: ") + r.message + "\n");
    }
    replay_set_reference_folder(FLIGHTS.c_str());
    const replay_result off = run_script("flight example.igc\nfly 1");
    EXPECT_EQ(off.err, "ktr7-replay: line 2: fly: the instrument is off (switch it on with \"on\")\n");
    replay_set_reference_folder(nullptr);
}

TEST(ReplayFlight, FliesInFlightTime)
{
    replay_set_reference_folder(FLIGHTS.c_str());
    // Ten ticks a second: 55 s in one go or in pieces leaves the same
    // instrument: on the field, 457 m (1499 ft), before the take-off roll;
    // the factory's MANUAL flight timer starts no flight.
    const replay_result whole = run_script("flight example.igc\non\nfly 55\nprint altitude encoder_altitude "
                                           "flight_active flight_seconds airspeed blink_divider");
    const replay_result pieces = run_script("flight example.igc\non\nfly 30\nfly 0\nfly 25\nprint altitude "
                                            "encoder_altitude flight_active flight_seconds airspeed blink_divider");
    EXPECT_EQ(whole.status, REPLAY_OK) << whole.err;
    EXPECT_EQ(whole.out, pieces.out);
    EXPECT_NE(whole.out.find("altitude=1499\nencoder_altitude=1499\nflight_active=0\n"), std::string::npos)
        << whole.out;
    // fly end plays to the last fix and no further: a second one adds no tick.
    run_script("flight example.igc\non\nfly end");
    const uint8_t divider = st.blink_divider;
    const replay_result again = run_script("fly end\nexpect flight_active 0", false);
    EXPECT_EQ(again.status, REPLAY_OK) << again.err;
    EXPECT_EQ(st.blink_divider, divider);
    replay_set_reference_folder(nullptr);
}

TEST(ReplayFlight, MalformedRecordsAreOneWarning)
{
    const std::string path = testing::TempDir() + "ktr7_replay_flight_warning.igc";
    std::ofstream(path) << "AXXX\nB1200004700000N00800000EA0010000100\nB12\nB1200014700000N00800000EA0010000100\nB1\n";
    const replay_result result = run_script("flight " + path + "\non\nfly 1\nexpect altitude 328");
    EXPECT_EQ(result.status, REPLAY_OK);
    EXPECT_EQ(result.err, "ktr7-replay: line 1: warning: " + path + ": skipped 2 records: malformed at lines 3, 5\n");
}

// "take-off HH:MM:SS" and the like: seconds of the day after key.
double time_after(const std::string& text, const std::string& key)
{
    const size_t at = text.find(key);
    int h = -1, m = -1, s = -1;
    if (at != text.npos)
        sscanf(text.c_str() + at + key.size(), "%d:%d:%d", &h, &m, &s);
    return h * 3600.0 + m * 60 + s;
}

TEST(ReplayFlight, SummaryAndTraceOfTheExample)
{
    const std::string csv = testing::TempDir() + "ktr7_replay_flight.csv";
    captured_stream out, err;
    ASSERT_EQ(replay_flight_report(EXAMPLE.c_str(), csv.c_str(), out.file(), err.file()), REPLAY_OK);
    const std::string text = out.text();
    EXPECT_EQ(err.text(), "");
    EXPECT_NE(text.find("date: 2026-05-01\npilot: A. Example\nglider: Demo 1 D-EXMP\n"
                        "log: 660 fixes (0 invalid), 10:00:00 to 10:10:59 UTC (0:10:59)\n"
                        "altitude from: pressure altitude\nairspeed from: IAS\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("flights detected: 1\n"), std::string::npos) << text;
    // 30 mph (48.3 km/h) on the roll at 10:01:07.8; the last fix above it on
    // the landing roll at 10:10:01.9, then 3 s to the end of the flight.
    EXPECT_NEAR(time_after(text, "take-off "), 36067.8, 1.0);
    EXPECT_NEAR(time_after(text, "landing "), 36064.9 + 540, 1.0);
    // The dive: 370 km/h is 229.9 mph, which the FAST filter does not quite
    // reach at the peak; over 220 mph (355.7 km/h) from 10:06:17.3 to
    // 10:06:20.7, plus the filter's lag.
    EXPECT_TRUE(text.find("highest airspeed: 229 mph\n") != text.npos ||
                text.find("highest airspeed: 230 mph\n") != text.npos)
        << text;
    double overspeed = 0, stall = 0;
    sscanf(text.c_str() + text.find("overspeed alarm: "), "overspeed alarm: %lf", &overspeed);
    sscanf(text.c_str() + text.find("stall alarm: "), "stall alarm: %lf", &stall);
    EXPECT_GE(overspeed, 3.2);
    EXPECT_LE(overspeed, 4.0);
    // Below Vs1 (30 mph) in flight: the 30 steps until the flight ends.
    EXPECT_NEAR(stall, 3.0, 0.2);
    // The field and the top of the climb, 457 m and 937 m.
    EXPECT_NE(text.find("altitude shown: 1499 to 3074 ft\n"), std::string::npos) << text;

    // The trace: a header and one line per tick, 659 s of log and its last
    // tick. The flight timer counts a second per tick in flight.
    std::ifstream trace(csv);
    std::string line;
    std::getline(trace, line);
    EXPECT_EQ(line, "time,altitude_input,vsi_input,asi_input,airspeed_shown,alarm,flight_active,encoder_altitude");
    long rows = 0, flying = 0;
    while (std::getline(trace, line)) {
        rows++;
        flying += line.find(",1,", line.rfind(',') - 3) != line.npos;
    }
    EXPECT_EQ(rows, 6591);
    int h = 0, m = 0, s = 0;
    sscanf(text.c_str() + text.find("flight timer: "), "flight timer: %d:%d:%d", &h, &m, &s);
    EXPECT_EQ(h * 3600 + m * 60 + s, flying);

    captured_stream out2, err2;
    EXPECT_EQ(replay_flight_report("/nonexistent.gpx", nullptr, out2.file(), err2.file()), REPLAY_FAILED);
    EXPECT_EQ(err2.text(), "ktr7-replay: /nonexistent.gpx: cannot read: No such file or directory\n");
    EXPECT_EQ(out2.text(), "");
}

// The live player: a host without flight hands refuses both commands; one
// with them loads the file and plays the ticks fly asks for while the player
// waits for them.
struct live_host {
    std::string report;
    int status = -1;
    std::string loaded;
    long long asked = 0;
};

TEST(ReplayFlight, LivePlayerHandsFlightsToItsHost)
{
    static live_host host;
    player_io io = {
        &host,
        [](void*) {},
        [](void*) {},
        [](void*, uint8_t) {},
        [](void*, sensor_input, int32_t) {},
        [](void*, bool) {},
        [](void* h, const char* line, bool) { static_cast<live_host*>(h)->report += std::string(line) + "\n"; },
        [](void* h, int status) { static_cast<live_host*>(h)->status = status; },
        nullptr,
        nullptr,
        nullptr,
    };
    for (const char* script : {"flight a.igc", "on\nfly 3"}) {
        host = live_host{};
        player_start(script, io);
        EXPECT_EQ(host.status, PLAYER_BAD_LINE);
        EXPECT_NE(host.report.find("this host has no flights"), std::string::npos) << host.report;
    }

    io.load_flight = [](void* h, const char* path, char* why, size_t cap) {
        static_cast<live_host*>(h)->loaded = path;
        snprintf(why, cap, "%s: it has no valid fix", path);
        return std::string(path) != "bad.igc";
    };
    io.fly = [](void* h, long long ticks, char*, size_t) {
        static_cast<live_host*>(h)->asked = ticks;
        return ticks < 0 ? 7LL : ticks;
    };
    host = live_host{};
    player_start("flight a.igc\non\nfly 3\nprint pending_key", io);
    EXPECT_EQ(host.loaded, "a.igc");
    EXPECT_EQ(host.asked, 30);
    for (int i = 0; i < 30; i++) {
        EXPECT_TRUE(player_playing());
        player_tick();
    }
    EXPECT_EQ(host.report, "");
    player_pass();
    EXPECT_EQ(host.report, "pending_key=0\n");
    EXPECT_EQ(host.status, PLAYER_OK);
    host = live_host{};
    player_start("on\nfly end", io);
    EXPECT_EQ(host.asked, -1);
    EXPECT_TRUE(player_playing());
    player_stop();
    host = live_host{};
    player_start("flight bad.igc", io);
    EXPECT_EQ(host.report, "line 1: flight: bad.igc: it has no valid fix\n");
}

}  // namespace
