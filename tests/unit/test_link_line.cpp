// The flight simulator link's lines: what is taken, what is refused and why,
// and the stream's counts, newest values and clock checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "link/link_inputs.h"
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

// A stream of lines, each "ALTITUDE,0,AIRSPEED,ELAPSED", played headless.
TEST(LinkPlayer, TheInstrumentsTimeFollowsTheSimulatorsClock)
{
    struct stream_case {
        const char* name;
        std::vector<std::string> lines;
        long long ticks;  // the last line's tick included
    } cases[] = {
        {"20 lines a second for 2 s", {}, 21},
        {"no clock: a line per tick", {"0,0,0,0", "10,0,0,0", "20,0,0,0", "30,0,0,0"}, 4},
        {"a late line changes nothing", {"0,0,0,5.0", "0,0,0,5.5", "0,0,0,5.2", "0,0,0,6.0"}, 11},
        {"the clock starting over goes on from here", {"0,0,0,100", "0,0,0,101", "0,0,0,0.0", "0,0,0,1.0"}, 21},
        {"a jump of hours takes one tick", {"0,0,0,0", "0,0,0,1", "0,0,0,86400", "0,0,0,86401"}, 22},
        {"bad lines are skipped", {"0,0,0,0", "x", "0,0,0,0.5", "nan,0,0,0.7"}, 6},
    };
    for (int i = 0; i <= 40; i++)
        cases[0].lines.push_back("1000,0,80," + std::to_string(i * 0.05));
    for (const stream_case& c : cases) {
        SCOPED_TRACE(c.name);
        instrument_session session;
        session.switch_on();
        link_player player(session);
        for (const std::string& line : c.lines)
            player.line(line);
        player.finish();
        EXPECT_EQ(player.ticks(), c.ticks);
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

}  // namespace
