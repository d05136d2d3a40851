// The flight simulator link's lines: what is taken, what is refused and why,
// and the stream's counts, newest values and clock checks.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
