// Random use: the instrument driven through the shared pass by random host
// events, with the state record's invariants checked after every pass.
//
//   KTR7_RANDOM_EVENTS  number of events (default 200000)
//   KTR7_RANDOM_SEED    seed (default: from the clock; always printed)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "screen_harness.h"

namespace {

using namespace screen_test;

bool known(screen_handler h)
{
    for (const named_screen& k : all_screens)
        if (h == k.handler)
            return true;
    return false;
}

// Every invariant of the state record after a pass, or the first that broke.
::testing::AssertionResult invariants_hold()
{
    if (!speed_limits_ordered())
        return ::testing::AssertionFailure() << "speed limits out of order";
    const uint8_t* d = st.code_digits;
    const auto ranges = within({
        {"qnh", long(st.qnh), 940251, 1080249},           {"security_enabled", st.security_enabled, 0, 1},
        {"altitude_unit", st.altitude_unit, 0, 1},        {"pressure_unit", st.pressure_unit, 0, 1},
        {"serial_out", st.serial_out, 0, 1},              {"serial_protocol", st.serial_protocol, 0, 5},
        {"altitude_resolution", st.altitude_resolution, 0, 4}, {"alt_on_top", st.alt_on_top, 0, 1},
        {"vsi_display", st.vsi_display, 0, 1},            {"vsi_unit", st.vsi_unit, 0, 1},
        {"vsi_scale", st.vsi_scale, 0, 2},                {"asi_unit", st.asi_unit, 0, 2},
        {"asi_filter", st.asi_filter, 0, 2},              {"vne_alarm", st.vne_alarm, 0, 1},
        {"vs_alarm", st.vs_alarm, 0, 1},                  {"flight_timer_mode", st.flight_timer_mode, 0, 1},
        {"altitude_cal_offset", st.altitude_cal_offset, -125, 125}, {"asi_cal_percent", st.asi_cal_percent, 50, 150},
        {"vsi_cal_percent", st.vsi_cal_percent, 50, 150}, {"asi_zero_offset", st.asi_zero_offset, 0, 4096},
        {"takeoff_airspeed", st.takeoff_airspeed, 0, 500}, {"backlight_level", st.backlight_level, 10, 100},
        {"security_code", st.security_code, 0, 9999},     {"flight_seconds", st.flight_seconds, 0, 59},
        {"flight_minutes", st.flight_minutes, 0, 59},     {"flight_hours", st.flight_hours, 0, 99},
        {"code digit 0", d[0], 0, 9}, {"code digit 1", d[1], 0, 9}, {"code digit 2", d[2], 0, 9},
        {"code digit 3", d[3], 0, 9},
    });
    if (!ranges)
        return ranges;
    if (st.backlight_level % 10)
        return ::testing::AssertionFailure() << "backlight_level " << int(st.backlight_level);
    if (!known(st.current_screen))
        return ::testing::AssertionFailure() << "current_screen is not a known handler";
    if (st.pending_key != KEY_NONE)
        return ::testing::AssertionFailure() << "a key survived the pass";
    return ::testing::AssertionSuccess();
}

unsigned long env_number(const char* name, unsigned long fallback)
{
    const char* s = getenv(name);
    return s && *s ? strtoul(s, nullptr, 10) : fallback;
}

TEST(RandomUse, InvariantsHoldAfterEveryPass)
{
    const unsigned long events = env_number("KTR7_RANDOM_EVENTS", 200000);
    const unsigned long seed = env_number(
        "KTR7_RANDOM_SEED", (unsigned long)std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFF);
    printf("random use: seed %lu, %lu events (KTR7_RANDOM_SEED=%lu to repeat)\n", seed, events, seed);
    std::mt19937 rng(uint32_t(seed & 0xFFFFFFFF));
    auto roll = [&](int n) { return int(rng() % unsigned(n)); };

    memset(&st, 0, sizeof st);
    st.current_screen = screen_main;
    host = stub_host{};
    bool running = false;
    unsigned long passes = 0;

    for (unsigned long e = 0; e < events; e++) {
        int what = roll(100);
        if (what < 55) {
            host_post_key(uint8_t(1 + roll(5)));
        } else if (what < 63) {
            host_set_asi_adc(roll(4097));
        } else if (what < 67) {
            host_set_altitude(roll(65536));
        } else if (what < 71) {
            host_set_vertical_speed(roll(12001) - 6000);
        } else if (what < 73) {
            host.sensor_checked = !host.sensor_checked;
        } else if (what < 97) {
            host_timer_tick();
        } else if (what < 98) {
            running = false;  // "Off"
        } else {
            host_switch_on();  // "On"
            running = true;
        }
        if (!running)
            continue;
        pass();
        passes++;
        ASSERT_LT(host.last_sentence.size(), size_t(SERIAL_LINE_SIZE)) << "a sentence overran its buffer";
        ASSERT_TRUE(invariants_hold()) << "after event " << e << ", pass " << passes << ", seed " << seed;
    }
    printf("random use: %lu passes, %ld sentences\n", passes, host.sentences);
    EXPECT_GT(passes, events / 2);
}

}  // namespace
