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
    const auto ranges = settings_in_range();
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
