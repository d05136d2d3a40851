// One pass of the run loop over the stub host: what it hands the host and
// in which order it steps the instrument.
#include "core/flight_timer.h"
#include "screen_harness.h"

using namespace screen_test;

namespace {

// "On" from program start, the slider at rest and no tick pending.
void switch_on_at_rest()
{
    switch_on();
    host_set_asi_adc(0);
    st.tick_counter = 0;
}

}  // namespace

TEST(Pass, OneSentencePerPassWhileSerialOutputIsOn)
{
    switch_on_at_rest();
    pass(3);
    EXPECT_EQ(host.sentences, 0);  // off after switch-on

    st.serial_out = 1;
    for (int i = 0; i < 5; ++i) {
        pass();
        ASSERT_EQ(host.sentences, i + 1);
        EXPECT_EQ(host.last_sentence, "#AL +00000T+25D1\r");
    }

    st.serial_protocol = 5;
    pass();
    ASSERT_EQ(host.sentences, 6);
    EXPECT_EQ(host.last_sentence, "\x02" "a=00000" "\x03");

    st.serial_out = 0;
    pass(3);
    EXPECT_EQ(host.sentences, 6);
    EXPECT_EQ(host.presented, 12);
    EXPECT_EQ(host.event_rounds, 12);
}

TEST(Pass, LampFollowsAlarmAndAcknowledgement)
{
    switch_on_at_rest();
    st.asi_filter = 0;  // so each pass sees the slider's reading at once
    // The lamp shows the alarm as it stood at the start of each pass, so it
    // turns red on the pass after the one whose airspeed update raised it.
    struct Step { const char* what; uint16_t adc; bool acknowledge; bool red; };
    const Step steps[] = {
        {"cruise", 1000, false, false}, {"overspeed raised", 4096, false, false},
        {"overspeed, unacknowledged", 4096, false, true}, {"acknowledged", 4096, true, true},
        {"acknowledged, still over", 4096, false, false}, {"condition lapses", 1000, false, false},
        {"lapsed", 1000, false, false}, {"overspeed again", 4096, false, false},
        {"new alarm, unacknowledged", 4096, false, true},
    };
    for (const Step& s : steps) {
        host_set_asi_adc(s.adc);
        pass();
        SCOPED_TRACE(s.what);
        ASSERT_GT(host.lamp_sets, 0);
        EXPECT_EQ(host.lamp_red, s.red);
        if (s.acknowledge)
            st.alarm_ack |= 1u;  // as the main display does on a key press
    }

    // Red for any alarm bit while nothing is acknowledged, read at the start
    // of the pass, before its airspeed update.
    struct Bits { uint32_t active, ack; bool red; };
    for (const Bits& b : {Bits{0, 0, false}, Bits{1, 0, true}, Bits{4, 0, true}, Bits{1, 1, false}, Bits{0, 1, false}}) {
        st.alarm_active = b.active, st.alarm_ack = b.ack;
        pass();
        EXPECT_EQ(host.lamp_red, b.red) << b.active << "/" << b.ack;
    }
}

TEST(Pass, FlightTimerStepsOnlyWhenTheTickCounterReadsOne)
{
    switch_on_at_rest();
    flight_start_stop();  // a manual flight, so each step adds a tenth of a second
    for (int value = 0; value < 20; ++value) {
        st.tick_counter = uint8_t(value);
        const uint8_t before = st.flight_tenths;
        pass();
        SCOPED_TRACE(testing::Message() << "tick_counter " << value);
        EXPECT_EQ(st.flight_tenths, before + (value == 1 ? 1 : 0));
        EXPECT_EQ(st.tick_counter, value == 1 ? 0 : value);
    }

    // With the 100 ms timer: one step per tick, however many passes run.
    st.tick_counter = 0, st.flight_tenths = 0, st.flight_seconds = 0;
    for (int tick = 0; tick < 17; ++tick) {
        host_timer_tick();
        pass(3);
    }
    EXPECT_EQ(st.flight_seconds, 1);
    EXPECT_EQ(st.flight_tenths, 7);
}

TEST(Pass, SwitchOnClearsAlarmAndFlightButNotTheFilter)
{
    switch_on_at_rest();
    host_set_asi_adc(4096);
    pass(3);
    flight_start_stop();
    st.tick_counter = 1;
    pass();
    ASSERT_EQ(st.alarm_active, 1u);
    const uint32_t accumulator = st.asi_filter_state;
    ASSERT_NE(accumulator, 0u);

    host_switch_on();
    EXPECT_TRUE(fields_are({{"alarm_active", long(st.alarm_active), 0}, {"flight_active", st.flight_active, 0},
                            {"flight_seconds", st.flight_seconds, 0}, {"flight_tenths", st.flight_tenths, 0},
                            {"max_airspeed", st.max_airspeed, 0},
                            {"asi_filter_state", long(st.asi_filter_state), long(accumulator)}}));
}
