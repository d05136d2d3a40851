// Random use: the instrument driven through the shared pass by random host
// events, with the state record's invariants checked after every pass.
//
//   KTR7_RANDOM_EVENTS  number of events (default 200000)
//   KTR7_RANDOM_SEED    seed (default: from the clock; always printed)
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "screen_harness.h"

namespace {

using namespace screen_test;

const screen_handler known_screens[] = {
    screen_main,         screen_flight_start_stop, screen_unlock,          screen_code_check,
    screen_code_new,     screen_code_confirm,      screen_code_result,     screen_security_setup,
    screen_main_menu,    screen_adc_values,        screen_info,            screen_alt_setup,
    screen_test_warning, screen_test_altitude,     screen_vsi_setup,       screen_asi_setup,
    screen_asi_zero_confirm, screen_timers_setup,  screen_misc_setup,      screen_backlight,
    screen_defaults_confirm, screen_message_done,
};

bool known(screen_handler h)
{
    for (auto k : known_screens)
        if (h == k)
            return true;
    return false;
}

// Returns an empty string when every invariant holds, else what broke.
std::string broken_invariant()
{
    const uint16_t* v = st.speed_limits;
    if (!(10 <= v[VS0] && v[VS0] <= v[VS1] && v[VS1] <= v[VFE] && v[VFE] <= v[VNO] && v[VNO] <= v[VNE] &&
          v[VNE] <= 500))
        return "speed limits out of order";
    if (!(st.qnh > 940250 && st.qnh < 1080250))
        return "qnh " + std::to_string(st.qnh);
    struct { const char* name; unsigned value, count; } named[] = {
        {"security_enabled", st.security_enabled, 2}, {"altitude_unit", st.altitude_unit, 2},
        {"pressure_unit", st.pressure_unit, 2},       {"serial_out", st.serial_out, 2},
        {"serial_protocol", st.serial_protocol, 6},   {"altitude_resolution", st.altitude_resolution, 5},
        {"alt_on_top", st.alt_on_top, 2},             {"vsi_display", st.vsi_display, 2},
        {"vsi_unit", st.vsi_unit, 2},                 {"vsi_scale", st.vsi_scale, 3},
        {"asi_unit", st.asi_unit, 3},                 {"asi_filter", st.asi_filter, 3},
        {"vne_alarm", st.vne_alarm, 2},               {"vs_alarm", st.vs_alarm, 2},
        {"flight_timer_mode", st.flight_timer_mode, 2},
    };
    for (auto& n : named)
        if (n.value >= n.count)
            return std::string(n.name) + " " + std::to_string(n.value);
    if (st.altitude_cal_offset < -125 || st.altitude_cal_offset > 125)
        return "altitude_cal_offset";
    if (st.asi_cal_percent < 50 || st.asi_cal_percent > 150)
        return "asi_cal_percent";
    if (st.vsi_cal_percent < 50 || st.vsi_cal_percent > 150)
        return "vsi_cal_percent";
    if (st.asi_zero_offset > 4096)
        return "asi_zero_offset";
    if (st.takeoff_airspeed > 500)
        return "takeoff_airspeed";
    if (st.backlight_level < 10 || st.backlight_level > 100 || st.backlight_level % 10)
        return "backlight_level " + std::to_string(st.backlight_level);
    if (st.security_code > 9999)
        return "security_code";
    for (auto d : st.code_digits)
        if (d > 9)
            return "code digit " + std::to_string(d);
    if (!known(st.current_screen))
        return "current_screen is not a known handler";
    if (st.flight_seconds > 59 || st.flight_minutes > 59 || st.flight_hours > 99)
        return "flight time";
    if (st.pending_key != KEY_NONE)
        return "a key survived the pass";
    return "";
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
        std::string why = broken_invariant();
        ASSERT_EQ(why, "") << "after event " << e << ", pass " << passes << ", seed " << seed;
    }
    printf("random use: %lu passes, %ld sentences\n", passes, host.sentences);
    EXPECT_GT(passes, events / 2);
}

}  // namespace
