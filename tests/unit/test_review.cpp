// A flight's review: the thinned series, what the recorder keeps of the
// example flight as the session plays it (the series' lengths, the alarm
// periods, the moments chosen and their pictures, the settings), the dozen
// when more happened, a playback started over, and the page's inlining.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "core/flight_timer.h"
#include "core/state.h"
#include "flight/flight.h"
#include "flight/flight_file.h"
#include "picture/lcd_png.h"
#include "picture/lcd_png_compare.h"
#include "review/review_html.h"
#include "review/review_library_files.h"
#include "review/review_png.h"
#include "review/review_recorder.h"
#include "session/session.h"

namespace {

const std::string EXAMPLE = KTR7_SOURCE_DIR "/scenarios/flights/example.igc";
const std::string GOLDEN = KTR7_SOURCE_DIR "/tests/flights/review/";

struct shape {
    const char* name;
    long count;
    double (*value)(long i);
    long long bucket_ticks;
    std::vector<series_point> expected;  // empty: only the count below is checked
    size_t expected_count;
};

TEST(Review, ThinnedSeries)
{
    // Time i s, value by the row. Up to THINNED_BUCKETS_MAX (4096) points
    // every one is kept but those inside a run of equal values; one more
    // merges the buckets in pairs. 12288 points take two merges: buckets of
    // 4 ticks, each keeping its lowest and highest point.
    const shape rows[] = {
        {"one point", 1, [](long) { return 7.0; }, 1, {{0, 7}}, 1},
        {"a flat run keeps its ends", 5, [](long) { return 3.0; }, 1, {{0, 3}, {4, 3}}, 2},
        {"a step keeps both sides", 6, [](long i) { return i < 3 ? 0.0 : 1.0; }, 1, {{0, 0}, {2, 0}, {3, 1}, {5, 1}}, 4},
        {"a ramp of 4096", 4096, [](long i) { return double(i); }, 1, {}, 4096},
        {"a ramp of 4097: pairs merged", 4097, [](long i) { return double(i); }, 2, {}, 4097},
        {"a spike and a dip survive",
         12288,
         [](long i) { return i == 5001 ? 100.0 : i == 9002 ? -50.0 : 0.0; },
         4,
         {{0, 0}, {5000, 0}, {5001, 100}, {5004, 0}, {9000, 0}, {9002, -50}, {9004, 0}, {12284, 0}},
         8},
    };
    for (const shape& r : rows) {
        SCOPED_TRACE(r.name);
        thinned_series s;
        for (long i = 0; i < r.count; i++)
            s.add(double(i), r.value(i));
        const std::vector<series_point> points = s.points();
        EXPECT_EQ(s.bucket_ticks(), r.bucket_ticks);
        EXPECT_EQ(s.added(), r.count);
        ASSERT_EQ(points.size(), r.expected_count);
        for (size_t i = 0; i < r.expected.size(); i++) {
            EXPECT_EQ(points[i].time, r.expected[i].time) << "point " << i;
            EXPECT_EQ(points[i].value, r.expected[i].value) << "point " << i;
        }
        for (size_t i = 1; i < points.size(); i++)
            ASSERT_LT(points[i - 1].time, points[i].time) << "point " << i;
    }
}

// Switch-on with the flight timer detecting flights, as ktr7-replay --flight
// plays a log, then the whole flight with a recorder following.
void play(instrument_session& session, flight recorded, review_recorder& recorder, long long ticks = -1)
{
    session.switch_on();
    session.activate();
    st.flight_timer_mode = TIMER_MODE_DETECT;
    session.flight().open(std::make_unique<flight>(std::move(recorded)));
    session.fly(ticks < 0 ? session.flight().ticks_left() : ticks, NO_DISPLAY);
    (void)recorder;
}

flight example()
{
    flight f;
    std::string error, warning;
    EXPECT_TRUE(read_flight_file(EXAMPLE.c_str(), f, error, warning)) << error;
    return f;
}

struct golden_moment {
    double time;
    const char* what;
    const char* picture;  // under tests/flights/review/
};

TEST(Review, TheExampleFlight)
{
    instrument_session session;
    review_recorder recorder(session);
    play(session, example(), recorder);
    const flight_review r = recorder.review();

    // 10:00:00 to 10:10:59, ten ticks a second and the last fix's own.
    EXPECT_EQ(recorder.ticks(), 6591);
    EXPECT_EQ(r.shown.ticks, 6591);
    EXPECT_EQ(r.log.fixes, 660u);
    EXPECT_EQ(r.log.skipped, "");
    // The series as thinned: 6591 ticks make one merge (3296 buckets of 2
    // ticks) and the points inside runs of equal values go. The logged
    // altitude changes at every tick of the 380 s climbing or descending
    // (3800 ticks, each bucket's two its lowest and highest), and holds
    // on the field and in cruise; the altitude shown holds each foot for a
    // tick or more, the vertical speed settles after each change of climb,
    // the airspeed shown moves a mile an hour at a time.
    EXPECT_EQ(r.altitude.size(), 3413u);
    EXPECT_EQ(r.logged_altitude.size(), 3804u);
    EXPECT_EQ(r.vertical_speed.size(), 1066u);
    EXPECT_EQ(r.airspeed.size(), 738u);
    EXPECT_EQ(r.altitude.front().time, 36000.0);
    EXPECT_EQ(r.altitude.front().value, 1499.0);
    EXPECT_EQ(r.altitude.back().time, 36659.0);

    // The dive over Vne (220 mph) and the stall alarm's 30 steps after the
    // roll-out drops below Vs1 (30 mph) in flight: 3.5 s and 3.0 s, as the
    // summary counts them.
    ASSERT_EQ(r.alarms.size(), 2u);
    EXPECT_EQ(r.alarms[0].kind, alarm_kind::overspeed);
    EXPECT_NEAR(r.alarms[0].end - r.alarms[0].start, 3.5, 1e-6);
    EXPECT_EQ(r.alarms[1].kind, alarm_kind::stall);
    EXPECT_NEAR(r.alarms[1].end - r.alarms[1].start, 3.0, 1e-6);
    EXPECT_EQ(r.shown.overspeed_ticks, 35);
    EXPECT_EQ(r.shown.stall_ticks, 30);
    ASSERT_EQ(r.shown.flights.size(), 1u);

    const golden_moment moments[] = {
        {36067.7, "take-off", "takeoff.png"},
        {36239.0, "highest altitude 3074 ft", "highest_altitude.png"},
        {36377.4, "overspeed alarm", "overspeed_alarm.png"},
        {36378.9, "highest airspeed 229 mph", "highest_airspeed.png"},
        {36602.3, "stall alarm", "stall_alarm.png"},
        {36605.2, "landing", "landing.png"},
    };
    ASSERT_EQ(r.moments.size(), std::size(moments));
    EXPECT_NEAR(r.shown.flights[0].takeoff, moments[0].time, 1e-6);
    EXPECT_NEAR(r.shown.flights[0].landing, moments[5].time, 1e-6);
    EXPECT_NEAR(r.alarms[0].start, moments[2].time, 1e-6);
    EXPECT_NEAR(r.alarms[1].start, moments[4].time, 1e-6);
    for (size_t i = 0; i < std::size(moments); i++) {
        const review_moment& m = r.moments[i];
        SCOPED_TRACE(moments[i].what);
        EXPECT_NEAR(m.time, moments[i].time, 1e-6);
        EXPECT_EQ(m.what, moments[i].what);
        // The frame against the committed picture, pixel for pixel.
        picture_comparison golden;
        char why[256];
        const std::string path = GOLDEN + moments[i].picture;
        if (!std::ifstream(path)) {
            // A new moment's picture: written for a look, and a failure until committed.
            EXPECT_TRUE(write_png_of(m.frame.data(), path.c_str(), 2, why, sizeof why)) << why;
            ADD_FAILURE() << "wrote the missing " << path << ": look at it, then commit it";
            continue;
        }
        ASSERT_TRUE(compare_with_png(m.frame.data(), path.c_str(), golden, why, sizeof why)) << path << ": " << why;
        EXPECT_EQ(golden.differing, 0) << "first at " << golden.first_x << "," << golden.first_y;
        // The page's picture of it, written to memory, reads back the same.
        std::vector<uint8_t> png;
        ASSERT_TRUE(png_in_memory(m.frame.data(), 2, png, why, sizeof why)) << why;
        const std::string written = testing::TempDir() + "ktr7_review_moment.png";
        std::ofstream(written, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), long(png.size()));
        picture_comparison back;
        ASSERT_TRUE(compare_with_png(m.frame.data(), written.c_str(), back, why, sizeof why)) << why;
        EXPECT_EQ(back.scale, 2);
        EXPECT_EQ(back.differing, 0);
    }

    // The settings it was played with: factory ones but the flight timer.
    const struct {
        const char* page;
        const char* name;
        const char* value;
    } settings[] = {
        {"MAIN", "QNH", "1013 mB"},     {"ASI", "Vne SPEED", "220 mph"}, {"ASI", "Vno SPEED", "180 mph"},
        {"ASI", "Vs1 SPEED", "30 mph"}, {"TIMERS", "FLIGHT", "DETECT"},  {"TIMERS", "T/O AIRSPEED", "30 mph"},
    };
    for (const auto& want : settings) {
        SCOPED_TRACE(want.name);
        const auto found = std::find_if(r.settings.begin(), r.settings.end(), [&](const review_setting& s) {
            return s.page == want.page && s.name == want.name;
        });
        ASSERT_NE(found, r.settings.end());
        EXPECT_EQ(found->value, want.value);
    }
    EXPECT_EQ(r.speed_limits[VNE], 220);
    EXPECT_EQ(r.speed_limits[VS1], 30);
}

// A track of one point a second: on the ground, then n times five seconds
// at 400 km/h (248 mph, over Vne) and five at 200 km/h, then stopped: a
// take-off, n overspeed alarms, a stall alarm as it slows in flight, a
// landing.
flight overspeeding(int n)
{
    std::vector<track_point> points;
    const auto at = [&](double kmh) {
        track_point p;
        p.unix_time = 1780000000.0 + double(points.size());
        p.altitude_m = 500.0;
        p.speed_ms = kmh / 3.6;
        points.push_back(p);
    };
    for (int i = 0; i < 10; i++)
        at(0.0);
    for (int i = 0; i < 5; i++)
        at(200.0);
    for (int cycle = 0; cycle < n; cycle++) {
        for (int i = 0; i < 5; i++)
            at(400.0);
        for (int i = 0; i < 5; i++)
            at(200.0);
    }
    for (int i = 0; i < 20; i++)
        at(0.0);
    flight f;
    std::string why;
    EXPECT_TRUE(flight_from_track(points, f, why)) << why;
    return f;
}

TEST(Review, AtMostADozenMoments)
{
    // Four always: the take-off, the landing, the highest airspeed (in the
    // first dive) and the highest altitude (the first tick: it never
    // changes). The alarm starts fill the dozen, earliest first.
    const struct {
        int overspeeds;
        size_t moments;
        size_t overspeeds_shown;
        bool stall_shown;
    } rows[] = {
        {1, 6, 1, true},
        {7, 12, 7, true},
        {8, 12, 8, false},
        {20, 12, 8, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.overspeeds << " overspeeds");
        instrument_session session;
        review_recorder recorder(session);
        play(session, overspeeding(row.overspeeds), recorder);
        const flight_review r = recorder.review();
        EXPECT_EQ(r.alarms.size(), size_t(row.overspeeds) + 1);
        ASSERT_EQ(r.moments.size(), row.moments);
        size_t overspeeds = 0;
        bool stall = false;
        for (size_t i = 0; i < r.moments.size(); i++) {
            overspeeds += r.moments[i].what == "overspeed alarm";
            stall = stall || r.moments[i].what == "stall alarm";
            if (i > 0)
                EXPECT_LT(r.moments[i - 1].time, r.moments[i].time);
        }
        EXPECT_EQ(overspeeds, row.overspeeds_shown);
        EXPECT_EQ(stall, row.stall_shown);
        EXPECT_EQ(r.moments.front().what, "highest altitude 1640 ft");
        EXPECT_EQ(r.moments[1].what, "take-off");
        EXPECT_EQ(r.moments.back().what, "landing");
        // The first overspeed's start is the first alarm's.
        const auto first = std::find_if(r.moments.begin(), r.moments.end(),
                                        [](const review_moment& m) { return m.what == "overspeed alarm"; });
        ASSERT_NE(first, r.moments.end());
        EXPECT_EQ(first->time, r.alarms[0].start);
    }
}

TEST(Review, WhatIsRecordedAndWhenItStartsOver)
{
    instrument_session session;
    review_recorder recorder(session);
    play(session, example(), recorder, 100);
    EXPECT_EQ(recorder.ticks(), 100);
    // A further pass of the same tick (a window's run loop between ticks)
    // adds nothing; a tick without the flight moving adds nothing.
    session.pass(NO_DISPLAY);
    session.pass(NO_DISPLAY);
    session.timer_tick();
    session.pass(NO_DISPLAY);
    EXPECT_EQ(recorder.ticks(), 100);
    session.fly(1, NO_DISPLAY);
    EXPECT_EQ(recorder.ticks(), 101);
    // Played again from the start: the review starts over there.
    session.flight().seek(session.flight().recorded().start_time());
    session.fly(50, NO_DISPLAY);
    EXPECT_EQ(recorder.ticks(), 50);
    EXPECT_EQ(recorder.review().altitude.front().time, 36000.0);
    // Another flight: over again.
    session.flight().open(std::make_unique<flight>(overspeeding(1)));
    session.fly(10, NO_DISPLAY);
    EXPECT_EQ(recorder.ticks(), 10);
    EXPECT_EQ(recorder.review().log.fixes, 45u);
    // A recorder no longer follows once gone; another one starts empty.
    review_recorder later(session);
    EXPECT_EQ(later.ticks(), 0);
    EXPECT_TRUE(later.review().moments.empty());
}

TEST(Review, ThePageInlinesTheLibraryAndItsPicturesWhole)
{
    // A script or style sheet whose text closes its element, in any case,
    // must not end it early; its source map's pointer is dropped.
    review_page_library library;
    library.script = "var a = '</SCRIPT>', b = '</scripted';\n//# sourceMappingURL=x.js.map\n";
    library.style = "p{} /* </style> */\n/*# sourceMappingURL=x.css.map */\n";
    instrument_session session;
    review_recorder recorder(session);
    play(session, example(), recorder, 10);
    const std::string page = review_html(recorder.review(), "<a&b>.igc", "test", library, review_png_data_uri);
    EXPECT_NE(page.find("var a = '<\\/SCRIPT>', b = '<\\/scripted';"), std::string::npos);
    EXPECT_NE(page.find("p{} /* <\\/style> */"), std::string::npos);
    EXPECT_EQ(page.find("sourceMappingURL"), std::string::npos);
    EXPECT_NE(page.find("<title>Flight review: &lt;a&amp;b&gt;.igc</title>"), std::string::npos);
    size_t closings = 0;
    for (size_t at = 0; (at = page.find("</script>", at)) != page.npos; at++)
        closings++;
    EXPECT_EQ(closings, 3u);  // the library, the data, the page's own

    // The pictures' bytes in the page: base64 at each length of the last group.
    const struct {
        const char* bytes;
        const char* text;
    } encodings[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xff\xfe", "//4="}};
    for (const auto& e : encodings) {
        const std::string bytes = e.bytes;
        EXPECT_EQ(base64(std::vector<uint8_t>(bytes.begin(), bytes.end())), e.text) << e.bytes;
    }

    // The library as Debian installs it, and the message where it is not.
    review_page_library debian;
    std::string why;
    ASSERT_TRUE(read_review_library(review_library_folder(), debian, why)) << why;
    EXPECT_NE(debian.script.find("Dygraph"), std::string::npos);
    EXPECT_NE(debian.style.find(".dygraph-legend"), std::string::npos);
    EXPECT_FALSE(read_review_library("/nonexistent", debian, why));
    EXPECT_EQ(why, "/nonexistent/dygraph.min.js: cannot read: No such file or directory (Debian package libjs-dygraphs)");
}

}  // namespace
