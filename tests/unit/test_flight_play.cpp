// A flight read at any time (lines between fixes, held across gaps), its VSI
// lag, the playback stepper with the instrument's own detection watching,
// and the files around it: GPX through expat, other formats through
// gpsbabel, and what is not a flight.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "flight/flight_file.h"
#include "flight/flight_player.h"
#include "flight/flight_summary.h"
#include "flight/gpsbabel.h"
#include "flight/gpx_reader.h"
#include "screen_harness.h"

namespace {

flight_fix fix_at(double time, double altitude_ft, double airspeed_kmh)
{
    flight_fix f;
    f.time = time;
    f.altitude_ft = altitude_ft;
    f.airspeed_kmh = airspeed_kmh;
    return f;
}

flight made_of(std::initializer_list<flight_fix> fixes)
{
    flight f;
    f.fixes = fixes;
    return f;
}

TEST(FlightPlay, SampledBetweenFixesAndHeldAcrossGaps)
{
    // 10 s of climb at 600 ft/min, a 90 s gap, a fix exactly a gap's length
    // later, then one just over it.
    const flight f = made_of({fix_at(100, 100, 50), fix_at(110, 200, 70), fix_at(200, 900, 90),
                              fix_at(260, 1500, 90), fix_at(320.5, 2100, 90)});
    const struct {
        double time;
        double altitude_ft, airspeed_kmh, climb_fpm;
        bool gap;
    } rows[] = {
        {0, 100, 50, 0, false},        {99.9, 100, 50, 0, false},   {100, 100, 50, 600, false},  {105, 150, 60, 600, false},
        {110, 200, 70, 0, true},       {150, 200, 70, 0, true},     {199.9, 200, 70, 0, true},
        {230, 1200, 90, 600, false},   {290, 1500, 90, 0, true},    {320.5, 2100, 90, 0, false},
        {1e6, 2100, 90, 0, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.time);
        for (size_t start_hint : {size_t(0), size_t(3), size_t(99)}) {
            size_t hint = start_hint;
            const flight_sample s = sample_flight(f, r.time, hint);
            EXPECT_NEAR(s.altitude_ft, r.altitude_ft, 1e-9);
            EXPECT_NEAR(s.airspeed_kmh, r.airspeed_kmh, 1e-9);
            EXPECT_NEAR(s.climb_fpm, r.climb_fpm, 1e-9);
            EXPECT_EQ(s.in_gap, r.gap);
        }
    }
}

TEST(FlightPlay, VsiLagsTheAltitudeTrace)
{
    screen_test::switch_on();
    // Level for 10 s, then 1000 ft/min for a minute.
    flight f = made_of({fix_at(0, 1000, 0), fix_at(10, 1000, 0), fix_at(70, 2000, 0)});
    flight_player player(f);
    player.fly(100, screen_test::stub_io);
    EXPECT_EQ(st.vertical_speed, 0);
    // After one lag time, 1 - 1/e of the step; after five, all but 0.7 %.
    player.fly(30, screen_test::stub_io);
    EXPECT_NEAR(player.vertical_speed_fpm(), 1000 * (1 - std::exp(-30.0 / 30)), 0.5);
    player.fly(120, screen_test::stub_io);
    EXPECT_NEAR(st.vertical_speed, 1000 * (1 - std::exp(-150.0 / 30)), 1);
    // Seeking into the climb starts the VSI at the trace's rate.
    player.seek(40);
    player.fly(1, screen_test::stub_io);
    EXPECT_EQ(st.vertical_speed, 1000);
    // A logged vario goes to the VSI as it is.
    f.fixes[1].vario_fpm = -300;
    f.fixes[2].vario_fpm = 300;
    f.fixes[0].vario_fpm = -300;
    player.seek(40);
    player.fly(1, screen_test::stub_io);
    EXPECT_EQ(st.vertical_speed, 0);
}

TEST(FlightPlay, TicksInFlightTime)
{
    screen_test::switch_on();
    const flight f = made_of({fix_at(1000, 0, 0), fix_at(1010, 0, 0)});
    flight_player player(f);
    EXPECT_EQ(player.ticks_left(), 101);
    EXPECT_EQ(player.time(), 1000);
    player.fly(100, screen_test::stub_io);
    EXPECT_EQ(player.time(), 1010);
    EXPECT_FALSE(player.at_end());
    player.fly(1, screen_test::stub_io);
    EXPECT_TRUE(player.at_end());
    player.seek(1004.04);
    EXPECT_EQ(player.ticks_done(), 40);
    player.seek(-5);
    EXPECT_EQ(player.time(), 1000);
    player.seek(5000);
    EXPECT_EQ(player.ticks_left(), 1);
}

TEST(FlightPlay, InstrumentDetectsTheFlight)
{
    screen_test::switch_on();
    st.flight_timer_mode = 1;
    // On the ground, 10 s at 100 km/h, then at 0 again; a dive past Vne.
    flight f = made_of({fix_at(0, 0, 0), fix_at(10, 0, 0), fix_at(11, 0, 100), fix_at(20, 0, 100),
                        fix_at(21, 0, 420), fix_at(23, 0, 420), fix_at(24, 0, 100), fix_at(30, 0, 100),
                        fix_at(31, 0, 0), fix_at(40, 0, 0)});
    flight_player player(f);
    flight_watch watch;
    while (!player.at_end()) {
        const double time = player.time();
        player.tick(screen_test::stub_io);
        watch.observe(time);
    }
    const flight_summary& s = watch.summary();
    ASSERT_EQ(s.flights.size(), 1u);
    // 30 mph = 48.3 km/h: half way up the ramp from 10 to 11 s, FAST filter
    // a tick or two later.
    EXPECT_NEAR(s.flights[0].takeoff, 10.5, 0.25);
    EXPECT_TRUE(s.flights[0].landed);
    // The last tick at or above 30 mph (30.5 s), then 30 steps.
    EXPECT_NEAR(s.flights[0].landing, 30.5 + 3.0, 0.25);
    // 250 mph, the channel's limit, from 21 to 23 s and on the ramps.
    EXPECT_EQ(s.max_airspeed, 250);
    EXPECT_NEAR(s.overspeed_ticks, 26, 4);
    // The stall alarm from 30 mph down to the end of the flight: 3 s.
    EXPECT_NEAR(s.stall_ticks, 30, 2);
    EXPECT_EQ(s.ticks, 401);
}

std::string temp_folder()
{
    char name[] = "/tmp/ktr7_flight_test_XXXXXX";
    return mkdtemp(name);
}

std::string write_file(const std::string& folder, const std::string& name, const std::string& text)
{
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const char GPX_11[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<g:gpx version="1.1" creator="test" xmlns:g="http://www.topografix.com/GPX/1/1">
<g:wpt lat="1" lon="1"><g:time>2020-01-01T00:00:00Z</g:time></g:wpt>
<g:trk><g:trkseg>
<g:trkpt lat="47.0" lon="8.0"><g:ele>500</g:ele><g:time>2026-07-15T23:59:59Z</g:time></g:trkpt>
<g:trkpt lat="47.0" lon="8.001"><g:ele>510.5</g:ele><g:time>2026-07-16T02:00:00.5+02:00</g:time></g:trkpt>
</g:trkseg><g:trkseg>
<g:trkpt lat="47.0" lon="8.002"><g:time>2026-07-16T00:00:02Z</g:time></g:trkpt>
<g:trkpt lat="47.0" lon="8.003"><g:ele>520</g:ele></g:trkpt>
<g:trkpt lat="95.0" lon="8.003"><g:ele>520</g:ele><g:time>2026-07-16T00:00:03Z</g:time></g:trkpt>
<g:trkpt lat="47.0" lon="8.004"><g:ele>530</g:ele><g:time>2026-07-16T00:00:01Z</g:time></g:trkpt>
</g:trkseg></g:trk></g:gpx>
)";

TEST(FlightPlay, GpxTracks)
{
    flight f;
    std::string why;
    ASSERT_TRUE(read_gpx(GPX_11, f, why)) << why;
    EXPECT_EQ(f.year, 2026);
    EXPECT_EQ(f.month, 7);
    EXPECT_EQ(f.day, 15);
    ASSERT_EQ(f.fixes.size(), 3u);
    EXPECT_EQ(f.fixes[0].time, 86399);
    EXPECT_EQ(f.fixes[1].time, 86400.5);
    EXPECT_EQ(f.fixes[2].time, 86402);
    EXPECT_EQ(f.altitude_from, altitude_source::gnss);
    EXPECT_EQ(f.airspeed_from, airspeed_source::ground_speed);
    EXPECT_NEAR(f.fixes[1].altitude_ft, 510.5 * 3.280839895, 1e-9);
    EXPECT_NEAR(f.fixes[2].altitude_ft, 510.5 * 3.280839895, 1e-9);  // no ele: held
    // 0.001° of longitude at 47°N is 75.9 m: 1.5 s apart, 182 km/h.
    EXPECT_NEAR(f.fixes[0].airspeed_kmh, 75.9 / 1.5 * 3.6, 0.5);
    EXPECT_EQ(flight_skip_warning(f, "t.gpx"),
              "t.gpx: skipped 3 records: malformed at lines 9, 10; time going back at line 11");

    // GPX 1.0 with its speed element (m/s); cut short after two points.
    const std::string gpx10 =
        "<gpx version=\"1.0\"><trk><trkseg>\n"
        "<trkpt lat=\"1\" lon=\"2\"><ele>10</ele><time>2026-01-02T03:04:05Z</time><speed>25</speed></trkpt>\n"
        "<trkpt lat=\"1\" lon=\"2\"><ele>11</ele><time>2026-01-02T03:04:06Z</time><speed>30</speed></trkpt>\n"
        "<trkpt lat=\"1\" lon=";
    ASSERT_TRUE(read_gpx(gpx10, f, why)) << why;
    ASSERT_EQ(f.fixes.size(), 2u);
    EXPECT_EQ(f.fixes[0].time, 3 * 3600 + 4 * 60 + 5);
    EXPECT_NEAR(f.fixes[1].airspeed_kmh, 108, 1e-9);
    EXPECT_EQ(f.skipped.size(), 1u);

    // The flight's date is its first point's, on either side of the end of
    // February and with a blank instead of the T.
    const struct {
        const char* time;
        int year, month, day;
        double first_time;
    } dated[] = {
        {"2026-02-15T12:00:00Z", 2026, 2, 15, 43200},  {"2026-02-15 12:00:00Z", 2026, 2, 15, 43200},
        {"2026-02-28T23:59:59Z", 2026, 2, 28, 86399},  {"2026-03-01T00:00:00Z", 2026, 3, 1, 0},
        {"2028-02-29T12:00:00Z", 2028, 2, 29, 43200},  {"2026-01-01T00:00:00Z", 2026, 1, 1, 0},
        {"2026-12-31T23:59:59Z", 2026, 12, 31, 86399},
    };
    for (const auto& d : dated) {
        SCOPED_TRACE(d.time);
        const std::string track = std::string("<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><ele>10</ele><time>") +
                                  d.time + "</time></trkpt></trkseg></trk></gpx>";
        ASSERT_TRUE(read_gpx(track, f, why)) << why;
        EXPECT_EQ(f.year, d.year);
        EXPECT_EQ(f.month, d.month);
        EXPECT_EQ(f.day, d.day);
        EXPECT_EQ(f.start_time(), d.first_time);
    }

    const struct {
        const char* text;
        const char* why;
    } bad[] = {
        {"<gpx version=\"1.1\"><wpt lat=\"1\" lon=\"1\"/><rte/></gpx>", "no track"},
        {"<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"1\"><ele>5</ele></trkpt></trkseg></trk></gpx>", "no track"},
        {"<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"1\"><time>2026-01-01T00:00:00Z</time></trkpt></trkseg></trk></gpx>",
         "no point with an altitude"},
        {"<kml></kml>", "root element is not gpx"},
        {"\x01\x02garbage", "not XML"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.text);
        EXPECT_FALSE(read_gpx(b.text, f, why));
        EXPECT_NE(why.find(b.why), std::string::npos) << why;
    }
}

TEST(FlightPlay, GpxTimes)
{
    const double day = 86400.0 * 20649;  // 2026-07-15
    const struct {
        const char* text;
        double seconds;  // NaN: malformed
    } rows[] = {
        {"2026-07-15T00:00:00Z", day},        {"2026-07-15T23:59:59Z", day + 86399},
        {" 2026-07-15T12:00:00 ", day + 43200}, {"2026-07-15T12:00:00.25Z", day + 43200.25},
        {"2026-07-15T12:00:00+14:00", day + 43200 - 50400}, {"2026-07-15T12:00:00-01:30", day + 43200 + 5400},
        {"1970-01-01T00:00:00Z", 0},           {"2026-07-15", NAN},
        {"2026-13-15T12:00:00Z", NAN},         {"2026-07-15T24:00:00Z", NAN},
        {"2026-07-15T12:00:00+15:00", NAN},    {"2026-07-15T12:00:00+2:00", NAN},
        {"2026-07-15 12:00:00Z", day + 43200}, {"2026-02-15T00:00:00Z", 86400.0 * 20499},
        {"2028-02-29T00:00:00Z", 86400.0 * 21243}, {"2026-02-29T00:00:00Z", NAN},
        {"2026-06-31T00:00:00Z", NAN},         {"2026-07-00T00:00:00Z", NAN},
        {"2026-06-30T23:59:60Z", day - 14 * 86400.0}, {"2026-06-30T23:59:61Z", NAN},  // a leap second, one past it
        {"2026-07-15T12:60:00Z", NAN},         {"2026-07-15T12:00:00Q", NAN},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const double t = parse_gpx_time(r.text);
        if (std::isnan(r.seconds))
            EXPECT_TRUE(std::isnan(t)) << t;
        else
            EXPECT_EQ(t, r.seconds);
    }
}

// NMEA's checksum: the exclusive or of the bytes between '$' and '*'.
std::string nmea(const std::string& body)
{
    unsigned sum = 0;
    for (char c : body)
        sum ^= uint8_t(c);
    char tail[8];
    snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

TEST(FlightPlay, FilesByContentAndExtension)
{
    const std::string folder = temp_folder();
    flight f;
    std::string error, warning;

    // IGC by content whatever its name; malformed records as one warning.
    const std::string igc = write_file(folder, "log.txt", "AXXX\r\nB1200004700000N00800000EA0010000100\r\nB12\r\n");
    ASSERT_TRUE(read_flight_file(igc.c_str(), f, error, warning)) << error;
    EXPECT_EQ(warning, igc + ": skipped 1 record: malformed at line 3");
    const std::string gpx = write_file(folder, "track.xml", GPX_11);
    ASSERT_TRUE(read_flight_file(gpx.c_str(), f, error, warning)) << error;
    EXPECT_EQ(f.fixes.size(), 3u);

    // NMEA through gpsbabel: known by its content.
    const std::string nmea_text = nmea("GPGGA,120000.00,4700.000,N,00800.000,E,1,08,1.0,500.0,M,47.0,M,,") +
                                  nmea("GPRMC,120000.00,A,4700.000,N,00800.000,E,50.0,90.0,150726,,,A") +
                                  nmea("GPGGA,120001.00,4700.000,N,00800.030,E,1,08,1.0,505.0,M,47.0,M,,") +
                                  nmea("GPRMC,120001.00,A,4700.000,N,00800.030,E,50.0,90.0,150726,,,A");
    const std::string nmea_file = write_file(folder, "log.$(touch INJECTED).nmea", nmea_text);
    ASSERT_TRUE(read_flight_file(nmea_file.c_str(), f, error, warning)) << error;
    EXPECT_EQ(f.year, 2026);
    ASSERT_EQ(f.fixes.size(), 2u);
    EXPECT_EQ(f.fixes[0].time, 43200);
    EXPECT_NEAR(f.fixes[1].altitude_ft, 505 * 3.280839895, 0.01);
    EXPECT_NE(access((folder + "/INJECTED").c_str(), F_OK), 0);
    // KML's timed points come back from gpsbabel as waypoints: taken as the track.
    const std::string kml = write_file(
        folder, "points.kml",
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>"
        "<Placemark><TimeStamp><when>2026-07-15T12:00:00Z</when></TimeStamp>"
        "<Point><coordinates>8.0,47.0,500</coordinates></Point></Placemark>"
        "<Placemark><TimeStamp><when>2026-07-15T12:00:02Z</when></TimeStamp>"
        "<Point><coordinates>8.001,47.0,506</coordinates></Point></Placemark></Document></kml>");
    ASSERT_TRUE(read_flight_file(kml.c_str(), f, error, warning)) << error;
    ASSERT_EQ(f.fixes.size(), 2u);
    EXPECT_EQ(f.fixes[1].time, 43202);
    EXPECT_NEAR(f.fixes[1].altitude_ft, 506 * 3.280839895, 0.01);
    EXPECT_STREQ(gpsbabel_format_for("a/b.FIT"), "garmin_fit");
    EXPECT_STREQ(gpsbabel_format_for("x.tcx"), "gtrnctr");
    EXPECT_EQ(gpsbabel_format_for("a.kml/b"), nullptr);
    EXPECT_EQ(gpsbabel_format_for("kml"), nullptr);

    std::string gpx_text, why;
    EXPECT_FALSE(convert_with_gpsbabel("kml", nmea_file.c_str(), gpx_text, why, false, "ktr7-no-such-program"));
    EXPECT_NE(why.find("Debian package gpsbabel"), std::string::npos) << why;

    const struct {
        std::string path;
        const char* why;
    } bad[] = {
        {folder + "/missing.igc", "cannot read: No such file or directory"},
        {write_file(folder, "empty.igc", ""), "it is empty"},
        {write_file(folder, "noise.bin", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), "it is not a flight log"},
        {write_file(folder, "noise.igc", std::string("\0\1\2\3garbage", 11)), "it is not an IGC flight log"},
        {write_file(folder, "only_v.igc", "AXXX\nB1200004700000N00800000EV0010000000\n"), "no valid fix"},
        {write_file(folder, "route.gpx", "<gpx><rte><rtept lat=\"1\" lon=\"1\"/></rte></gpx>"), "no track"},
        {write_file(folder, "broken.kml", "<kml><oops"), "gpsbabel could not read it as kml"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.path);
        EXPECT_FALSE(read_flight_file(b.path.c_str(), f, error, warning));
        EXPECT_EQ(error.rfind(b.path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(b.why), std::string::npos) << error;
        EXPECT_TRUE(f.fixes.empty());
    }
}

}  // namespace
