// The flight simulator link's lines: what is taken, what is refused and why,
// and the stream's counts, newest values and clock checks.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/state.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "link/link_inputs.h"
#include "link/qnh_feedback.h"
#include "link/xplane_packets.h"
#include "session/link_player.h"
#include "link/link_stream.h"

namespace {

struct line_case {
    std::string line;
    link_fault fault;
    link_values values;  // when taken
};

const line_case LINE_CASES[] = {
    {"3250.4,8.33,95.2,1234.50", link_fault::none, {3250.4, 8.33, 95.2, 1234.5}},
    {"3250.4,8.33,95.2,1234.50\r", link_fault::none, {3250.4, 8.33, 95.2, 1234.5}},
    {" -120 , -4.5 ,0, 0 ", link_fault::none, {-120, -4.5, 0, 0}},
    {"3250.4,\t8.33,\t95.2,\t1234.50", link_fault::none, {3250.4, 8.33, 95.2, 1234.5}},
    {"+10,+1,+2,+3", link_fault::none, {10, 1, 2, 3}},
    // Both ends of each field's range, and one step outside.
    {"-5000,-2000,-50,0", link_fault::none, {-5000, -2000, -50, 0}},
    {"100000,2000,2000,1000000000", link_fault::none, {100000, 2000, 2000, 1e9}},
    {"-5000.1,0,0,0", link_fault::out_of_range, {}},
    {"100000.1,0,0,0", link_fault::out_of_range, {}},
    {"0,2000.1,0,0", link_fault::out_of_range, {}},
    {"0,0,-50.1,0", link_fault::out_of_range, {}},
    {"0,0,2000.1,0", link_fault::out_of_range, {}},
    {"0,0,0,-0.1", link_fault::out_of_range, {}},
    {"1e400,0,0,0", link_fault::out_of_range, {}},
    {"nan,0,0,0", link_fault::not_finite, {}},
    {"0,inf,0,0", link_fault::not_finite, {}},
    {"0,0,-infinity,0", link_fault::not_finite, {}},
    {"1,2,3", link_fault::field_count, {}},
    {"1,2,3,4,5", link_fault::field_count, {}},
    {"", link_fault::field_count, {}},
    {"1,2,x", link_fault::field_count, {}},
    {"1,2,three,4", link_fault::not_a_number, {}},
    {"1,2,,4", link_fault::not_a_number, {}},
    {"0x10,0,0,0", link_fault::not_a_number, {}},
    {"1,2,3,4 5", link_fault::not_a_number, {}},
    {std::string("1,2,\0,4", 7), link_fault::not_text, {}},
    {"1,2,3,4\xff", link_fault::not_text, {}},
    {"1,2,3,4\x7f", link_fault::not_text, {}},
    {"1,2,3,4\x7e", link_fault::not_a_number, {}},
    {"1,2,3,4\x1f", link_fault::not_text, {}},
    // The longest line, also with a CR LF's CR, and one character more.
    {"0,0,0,0" + std::string(LINK_LINE_MAX - 7, ' '), link_fault::none, {0, 0, 0, 0}},
    {"0,0,0,0" + std::string(LINK_LINE_MAX - 7, ' ') + "\r", link_fault::none, {0, 0, 0, 0}},
    {"0,0,0,0" + std::string(LINK_LINE_MAX - 6, ' '), link_fault::too_long, {}},
    {std::string(LINK_LINE_MAX + 1, '1'), link_fault::too_long, {}},
};

TEST(LinkLine, TakenAndRefused)
{
    for (const line_case& c : LINE_CASES) {
        SCOPED_TRACE(c.line);
        link_values got{-1, -1, -1, -1};
        EXPECT_EQ(read_link_line(c.line, got), c.fault) << link_fault_name(read_link_line(c.line, got));
        if (c.fault != link_fault::none)
            continue;
        EXPECT_DOUBLE_EQ(got.pressure_altitude_ft, c.values.pressure_altitude_ft);
        EXPECT_DOUBLE_EQ(got.vertical_speed_fps, c.values.vertical_speed_fps);
        EXPECT_DOUBLE_EQ(got.airspeed_kt, c.values.airspeed_kt);
        EXPECT_DOUBLE_EQ(got.elapsed_s, c.values.elapsed_s);
    }
}

TEST(LinkStream, CountsHoldsAndWatchesTheClock)
{
    link_stream stream;
    EXPECT_FALSE(stream.has_values());
    // Two lines in one datagram, then garbage: the newest good line is held.
    stream.feed("100,1,50,10.0\n200,2,60,10.05\n");
    stream.feed("nan,0,0,0\n\x01\x02\x03");
    EXPECT_TRUE(stream.has_values());
    EXPECT_DOUBLE_EQ(stream.latest().pressure_altitude_ft, 200);
    // A late datagram a little behind is refused; the clock starting over
    // (more than LINK_RESTART_SECONDS back) is taken and counted.
    EXPECT_EQ(stream.feed_line("300,0,0,10.0"), link_fault::time_going_back);
    EXPECT_EQ(stream.feed_line("300,0,0,10.05"), link_fault::none);
    EXPECT_EQ(stream.feed_line("400,0,0,10.05 "), link_fault::none);
    EXPECT_EQ(stream.feed_line("500,0,0,1.0"), link_fault::none);
    const link_counts& n = stream.counts();
    EXPECT_EQ(n.lines, 8u);
    EXPECT_EQ(n.accepted, 5u);
    EXPECT_EQ(n.refused, 3u);
    EXPECT_EQ(n.restarts, 1u);
    EXPECT_EQ(n.by_fault[size_t(link_fault::not_finite)], 1u);
    EXPECT_EQ(n.by_fault[size_t(link_fault::not_text)], 1u);
    EXPECT_EQ(n.by_fault[size_t(link_fault::time_going_back)], 1u);
    EXPECT_DOUBLE_EQ(stream.latest().pressure_altitude_ft, 500);
    stream.reset();
    EXPECT_FALSE(stream.has_values());
    EXPECT_EQ(stream.counts().lines, 0u);
}

// A stream of lines, each "ALTITUDE,0,0,ELAPSED", played headless: after each
// line the ticks played and the altitude input they played (at the factory
// QNH, the pressure altitude); a line's values hold from its time until the
// next line's, so each line's ticks play the line before.
TEST(LinkPlayer, TheInstrumentsTimeFollowsTheSimulatorsClock)
{
    struct after_line {
        std::string line;
        long long ticks;  // -1: not looked at
        int32_t altitude;
    };
    struct stream_case {
        const char* name;
        std::vector<after_line> lines;
        long long ticks;  // after finish: the last line's tick included
        int32_t altitude;
    } cases[] = {
        {"20 lines a second for 2 s", {}, 21, 1040},
        {"no clock: a line per tick",
         {{"100,0,0,0", 0, 0}, {"110,0,0,0", 1, 100}, {"120,0,0,0", 2, 110}, {"130,0,0,0", 3, 120}}, 4, 130},
        {"a late line changes nothing",
         {{"100,0,0,5.0", 0, 0}, {"200,0,0,5.5", 5, 100}, {"300,0,0,5.2", 5, 100}, {"400,0,0,6.0", 10, 200}}, 11, 400},
        {"the clock starting over goes on from here",
         {{"100,0,0,100", 0, 0}, {"200,0,0,101", 10, 100}, {"300,0,0,0.0", 10, 100}, {"400,0,0,1.0", 20, 300}}, 21,
         400},
        {"a jump of hours takes one tick",
         {{"100,0,0,0", 0, 0}, {"200,0,0,1", 10, 100}, {"300,0,0,86400", 11, 200}, {"400,0,0,86401", 21, 300}}, 22,
         400},
        {"bad lines are skipped",
         {{"100,0,0,0", 0, 0}, {"x", 0, 0}, {"200,0,0,0.5", 5, 100}, {"nan,0,0,0.7", 5, 100}}, 6, 200},
    };
    for (int i = 0; i <= 40; i++)
        cases[0].lines.push_back({std::to_string(1000 + i) + ",0,0," + std::to_string(i * 0.05), -1, 0});
    for (const stream_case& c : cases) {
        SCOPED_TRACE(c.name);
        instrument_session session;
        session.switch_on();
        link_player player(session);
        for (const after_line& l : c.lines) {
            player.line(l.line);
            if (l.ticks < 0)
                continue;
            EXPECT_EQ(player.ticks(), l.ticks) << l.line;
            EXPECT_EQ(session.input(sensor_input::altitude), l.altitude) << l.line;
        }
        player.finish();
        EXPECT_EQ(player.ticks(), c.ticks);
        EXPECT_EQ(session.input(sensor_input::altitude), c.altitude);
    }
}

// Through the instrument: the encoder sends the simulator's pressure altitude
// back and the airspeed shown is its indicated airspeed, to the instrument's
// resolution, at the factory QNH and at another one in metres.
TEST(LinkInputs, TheInstrumentShowsAndSendsWhatTheSimulatorFlies)
{
    struct flown {
        double pressure_altitude_ft, airspeed_kt;
        uint32_t qnh;  // mb x 1000
        uint8_t altitude_unit, asi_unit;
    } cases[] = {{3250.0, 100.0, 1013250, 0, 2}, {812.0, 55.0, 1023250, 1, 2}, {9000.0, 150.0, 998000, 0, 2}};
    for (const flown& c : cases) {
        SCOPED_TRACE(c.pressure_altitude_ft);
        host_program_start();
        host_switch_on();
        st.qnh = c.qnh, st.altitude_unit = c.altitude_unit, st.asi_unit = c.asi_unit;
        const flight_inputs inputs = link_inputs({c.pressure_altitude_ft, 10.0, c.airspeed_kt, 1.0});
        host_set_input(sensor_input::altitude, inputs.altitude);
        host_set_input(sensor_input::vertical_speed, inputs.vertical_speed);
        host_set_input(sensor_input::asi_adc, inputs.asi_adc);
        for (int pass = 0; pass < 400; pass++)
            run_pass(HEADLESS_HOST);
        const double altitude_step = c.altitude_unit == 1 ? 3.3 : 1.0;
        EXPECT_NEAR(st.encoder_altitude, c.pressure_altitude_ft, altitude_step);
        EXPECT_NEAR(st.airspeed, c.airspeed_kt, 1.0);
        EXPECT_EQ(st.vertical_speed, 600);
    }
}

// X-Plane's packets as the link writes and reads them, byte for byte.
std::vector<uint8_t> reply(const char* header, const std::vector<std::pair<int32_t, float>>& items)
{
    std::vector<uint8_t> bytes(header, header + XPLANE_HEADER_SIZE);
    for (const auto& [index, value] : items) {
        uint32_t bits;
        memcpy(&bits, &value, sizeof bits);
        for (uint32_t word : {static_cast<uint32_t>(index), bits})
            for (int i = 0; i < 4; i++)
                bytes.push_back(uint8_t(word >> (8 * i)));
    }
    return bytes;
}

TEST(XPlanePackets, RequestsAndTheBarometerWrittenBack)
{
    const xplane_rref_request rref = make_rref_request(20, xplane_dataref::clock);
    EXPECT_EQ(rref.size(), 413u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(rref.data()), 5), std::string("RREF\0", 5));
    EXPECT_EQ(std::vector<uint8_t>(rref.begin() + 5, rref.begin() + 13), (std::vector<uint8_t>{20, 0, 0, 0, 3, 0, 0, 0}));
    EXPECT_STREQ(reinterpret_cast<const char*>(rref.data() + 13), "sim/time/total_running_time_sec");
    EXPECT_EQ(rref.back(), 0);
    const xplane_rref_request cancel = make_rref_request(0, xplane_dataref::pressure_altitude);
    EXPECT_EQ(std::vector<uint8_t>(cancel.begin() + 5, cancel.begin() + 13), (std::vector<uint8_t>(8, 0)));

    const xplane_dref_packet dref = make_dref_packet(29.92f, XPLANE_BAROMETER_DATAREF);
    EXPECT_EQ(dref.size(), 509u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dref.data()), 5), std::string("DREF\0", 5));
    EXPECT_EQ(std::vector<uint8_t>(dref.begin() + 5, dref.begin() + 9), (std::vector<uint8_t>{0x29, 0x5C, 0xEF, 0x41}));
    EXPECT_STREQ(reinterpret_cast<const char*>(dref.data() + 9),
                 "sim/cockpit2/gauges/actuators/barometer_setting_in_hg_pilot");

    // The instrument's QNH at its factory value and at the ends the knob reaches.
    const struct {
        uint32_t qnh;
        double inhg;
        const char* flightgear;
    } settings[] = {{1013250, 29.9213, "1013.25\n"}, {941250, 27.7951, "941.25\n"}, {1079250, 31.8702, "1079.25\n"}};
    for (const auto& q : settings) {
        SCOPED_TRACE(q.qnh);
        EXPECT_NEAR(qnh_inhg(q.qnh), q.inhg, 0.0001);
        EXPECT_STREQ(flightgear_qnh_line(q.qnh).text, q.flightgear);
    }
}

TEST(XPlanePackets, RepliesTakenOrRefusedWhole)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const auto all = [](float altitude) {
        return std::vector<std::pair<int32_t, float>>{{0, altitude}, {1, 600.0f}, {2, 95.0f}, {3, 12.5f}};
    };
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        link_fault fault;
    } rows[] = {
        {"every value, header with a zero byte", reply("RREF\0", all(3082.0f)), link_fault::none},
        {"a comma ends the header", reply("RREF,", all(3082.0f)), link_fault::none},
        {"an O ends the header", reply("RREFO", all(3082.0f)), link_fault::none},
        {"the header alone", reply("RREF\0", {}), link_fault::wrong_length},
        {"a value cut short", std::vector<uint8_t>(5 + 7, 0), link_fault::wrong_length},
        {"another kind of packet", reply("DATA\0", all(3082.0f)), link_fault::wrong_header},
        {"RREF with another fifth byte", reply("RREF\x01", all(3082.0f)), link_fault::wrong_header},
        {"an index one past the last", reply("RREF\0", {{4, 1.0f}}), link_fault::unknown_index},
        {"a negative index", reply("RREF\0", {{-1, 1.0f}}), link_fault::unknown_index},
        {"NaN", reply("RREF\0", {{2, nan}}), link_fault::not_finite},
        {"an infinity", reply("RREF\0", {{1, -inf}}), link_fault::not_finite},
        {"an altitude no aircraft flies", reply("RREF\0", all(100001.0f)), link_fault::out_of_range},
        {"the highest altitude there is", reply("RREF\0", all(100000.0f)), link_fault::none},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        xplane_reader reader;
        EXPECT_EQ(reader.read(r.bytes.data(), r.bytes.size()), r.fault);
        EXPECT_EQ(reader.complete(), r.fault == link_fault::none);
    }
    // Values taken as they come; the link's vertical speed in ft/s.
    xplane_reader reader;
    const std::vector<uint8_t> first = reply("RREF\0", {{0, 3082.0f}, {1, 600.0f}});
    ASSERT_EQ(reader.read(first.data(), first.size()), link_fault::none);
    EXPECT_FALSE(reader.complete());
    const std::vector<uint8_t> rest = reply("RREF\0", {{2, 95.0f}, {3, 12.5f}});
    ASSERT_EQ(reader.read(rest.data(), rest.size()), link_fault::none);
    ASSERT_TRUE(reader.complete());
    const link_values v = reader.values();
    EXPECT_EQ(v.pressure_altitude_ft, 3082.0);
    EXPECT_EQ(v.vertical_speed_fps, 10.0);
    EXPECT_EQ(v.airspeed_kt, 95.0);
    EXPECT_EQ(v.elapsed_s, 12.5);
    // A refused reply leaves what was taken.
    const std::vector<uint8_t> bad = reply("RREF\0", {{2, 50.0f}, {7, 1.0f}});
    EXPECT_EQ(reader.read(bad.data(), bad.size()), link_fault::unknown_index);
    EXPECT_EQ(reader.values().airspeed_kt, 95.0);
}

TEST(QnhFeedback, SentWhenItChangesAndOnceASecond)
{
    qnh_feedback feedback;
    const struct {
        uint32_t qnh;
        double time;
        bool due;
    } steps[] = {{1013250, 0.0, true},  {1013250, 0.5, false}, {1014250, 0.6, true},
                 {1014250, 1.5, false}, {1014250, 1.6, true},  {1013250, 1.7, true}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.time);
        EXPECT_EQ(feedback.due(s.qnh, s.time), s.due);
    }
    EXPECT_EQ(feedback.sent(), 4u);
}

}  // namespace
