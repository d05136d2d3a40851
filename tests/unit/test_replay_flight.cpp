// Flights in the replay tool: the scenario commands flight and fly, their
// bad lines, and --flight's summary and trace of the example flight (a
// ground run, take-off, climb of 480 m from a 457 m field, cruise, a dive
// to 370 km/h, descent and landing; scenarios/flights/make_example.py).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "replay/replay_flight.h"
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

// A log the test writes: an hour at 100 m, 10:00 to 11:00 with a fix a
// minute, the last one at 150 m.
std::string hour_log()
{
    const std::string path = testing::TempDir() + "ktr7_replay_flight_hour.igc";
    std::ofstream log(path);
    log << "AXXX\nHFDTE150726\n";
    for (int minute = 0; minute <= 60; minute++)
        log << "B" << (minute < 60 ? "10" : "11") << (minute < 10 || minute == 60 ? "0" : "") << minute % 60
            << "004700000N00800000EA" << (minute < 60 ? "00100" : "00150") << "00100\n";
    return path;
}

TEST(ReplayFlight, FliesInFlightTime)
{
    // START FLIGHT answered yes before the flight plays: the timer counts
    // every tick of it, a second for every ten.
    const std::string start = "flight " + hour_log() + "\non\nkey left\npass 2\nkey right\npass 2\n";
    const std::string show = "print flight_active flight_hours flight_minutes flight_seconds flight_tenths altitude\n";
    // Half an hour in one go or in pieces: 18,000 ticks, 0:30:00, 100 m.
    const replay_result whole = run_script(start + "fly 1800\n" + show);
    const replay_result pieces = run_script(start + "fly 1000\nfly 0\nfly 800\n" + show);
    EXPECT_EQ(whole.status, REPLAY_OK) << whole.err;
    EXPECT_EQ(whole.out, "flight_active=1\nflight_hours=0\nflight_minutes=30\nflight_seconds=0\nflight_tenths=0\n"
                         "altitude=328\n");
    EXPECT_EQ(pieces.out, whole.out);
    // fly end plays to the last fix, 150 m, and no further: 36,001 ticks
    // from the first fix to the last, an hour and a tick, which the TIMERS
    // page shows as 1:00. A second fly end adds no tick.
    const replay_result end = run_script(start + "fly end\n" + show);
    EXPECT_EQ(end.status, REPLAY_OK) << end.err;
    EXPECT_EQ(end.out, "flight_active=1\nflight_hours=1\nflight_minutes=0\nflight_seconds=0\nflight_tenths=1\n"
                       "altitude=492\n");
    const uint8_t divider = st.blink_divider;
    const replay_result again = run_script("fly end\n" + show, false);
    EXPECT_EQ(again.status, REPLAY_OK) << again.err;
    EXPECT_EQ(again.out, end.out);
    EXPECT_EQ(st.blink_divider, divider);
}

TEST(ReplayFlight, MalformedRecordsAreOneWarning)
{
    const std::string path = testing::TempDir() + "ktr7_replay_flight_warning.igc";
    std::ofstream(path) << "AXXX\nB1200004700000N00800000EA0010000100\nB12\nB1200014700000N00800000EA0010000100\nB1\n";
    const replay_result result = run_script("flight " + path + "\non\nfly 1\nexpect altitude 328");
    EXPECT_EQ(result.status, REPLAY_OK);
    EXPECT_EQ(result.err, "ktr7-replay: line 1: warning: " + path + ": skipped 2 records: malformed at lines 3, 5\n");
}

// Real loggers' awkward logs in tests/flights, each with what --flight must
// show: every line listed is in its report, the warning is its standard
// error. Each flies the same minute: 20 s on the ground, 60 s at 100 km/h
// (62 mph), 20 s on the ground, a fix every 4 s; the take-off comes as the
// airspeed passes 30 mph two seconds before the first fix at speed, the
// landing 3 s after it falls below 30 mph again.
TEST(ReplayFlight, AwkwardLogs)
{
    const struct {
        const char* file;
        std::vector<std::string> shows;
        const char* warning;
    } logs[] = {
        {"old_date_task_crlf.igc",  // garbage in FXA, which is not read: every fix kept
         {"date: 2026-08-02", "glider: Trainer D-TEST",
          "log: 26 fixes (0 invalid), 10:00:00 to 10:01:40 UTC (0:01:40)", "airspeed from: IAS",
          "  take-off 10:00:18, landing 10:01:21 (0:01:03)", "flight timer: 0:01:03", "highest airspeed: 62 mph",
          "altitude shown: 1640 to 1772 ft"},
         ""},
        {"new_date_midnight.igc",
         {"date: 2026-12-31", "log: 26 fixes (0 invalid), 23:59:10 to 00:00:50 UTC (0:01:40)",
          "  take-off 23:59:28, landing 00:00:31 (0:01:03)", "flight timer: 0:01:03"},
         ""},
        {"midnight_new_date.igc",  // the date written again at midnight: the first fix's date
         {"date: 2026-12-31", "log: 26 fixes (0 invalid), 23:59:10 to 00:00:50 UTC (0:01:40)",
          "  take-off 23:59:28, landing 00:00:31 (0:01:03)", "flight timer: 0:01:03"},
         ""},
        {"duplicates_time_back.igc",
         {"date: 2026-07-15", "log: 26 fixes (0 invalid), 12:00:00 to 12:01:40 UTC (0:01:40)",
          "  take-off 12:00:18, landing 12:01:21 (0:01:03)", "flight timer: 0:01:03"},
         "ktr7-replay: warning: duplicates_time_back.igc: skipped 28 records: malformed at line 27; time going back "
         "at line 16; time repeated at lines 5, 7, 9, 11, 13, 15, 18, 20, 22, 24 and 16 more\n"},
        {"no_pressure_sensor.igc",  // the V fixes' GNSS altitude 0 is not played
         {"log: 26 fixes (3 invalid), 09:00:00 to 09:01:40 UTC (0:01:40)", "altitude from: GNSS altitude",
          "airspeed from: ground speed", "  take-off 09:00:20, landing 09:01:23 (0:01:03)",
          "flight timer: 0:01:03", "highest airspeed: 62 mph", "altitude shown: 1640 to 2592 ft"},
         ""},
        {"v_fixes_before_the_gps.igc",  // kept for their pressure altitude
         {"log: 26 fixes (4 invalid), 08:00:00 to 08:01:40 UTC (0:01:40)", "altitude from: pressure altitude",
          "  take-off 08:00:18, landing 08:01:21 (0:01:03)", "flight timer: 0:01:03",
          "altitude shown: 1312 to 1640 ft"},
         ""},
    };
    const std::string folder = KTR7_SOURCE_DIR "/tests/flights/";
    for (const auto& log : logs) {
        SCOPED_TRACE(log.file);
        captured_stream out, err;
        ASSERT_EQ(replay_flight_report((folder + log.file).c_str(), nullptr, out.file(), err.file()), REPLAY_OK);
        const std::string text = "\n" + out.text();
        for (const std::string& line : log.shows)
            EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line << "\n" << text;
        EXPECT_NE(text.find("\nflights detected: 1\n"), std::string::npos) << text;
        std::string warning = err.text();
        const size_t path = warning.find(folder);
        if (path != std::string::npos)
            warning.erase(path, folder.size());
        EXPECT_EQ(warning, log.warning);
    }
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
    // tick. The flight timer counts a second for every ten ticks in flight:
    // 5375 ticks, 537.5 s, as long as from take-off to landing.
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
    EXPECT_EQ(flying, 5375);
    EXPECT_NE(text.find("flight timer: 0:08:57\n"), std::string::npos) << text;

    captured_stream out2, err2;
    EXPECT_EQ(replay_flight_report("/nonexistent.gpx", nullptr, out2.file(), err2.file()), REPLAY_FAILED);
    EXPECT_EQ(err2.text(), "ktr7-replay: /nonexistent.gpx: cannot read: No such file or directory\n");
    EXPECT_EQ(out2.text(), "");
}

}  // namespace
