// Speed figures: one pass per screen, the primitives, text per font, icons,
// the presentation's point batch. Every pass benchmark also reports how many
// allocations it made per iteration (none is the rule) and its cost relative
// to clearing the frame buffer alone, measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <string>

#include "core/airspeed.h"
#include "core/flight_timer.h"
#include "core/state.h"
#include "flight/flight_player.h"
#include "flight/igc_reader.h"
#include "gfx/fonts.h"
#include "gfx/icons.h"
#include "gfx/lcd.h"
#include "gfx/rle.h"
#include "gfx/text.h"
#include "host/lcd_points.h"
#include "host/pass.h"
#include "replay/replay.h"
#include "scenario/fields.h"
#include "screens/screens.h"

// Counting replacements of the global allocation functions. GCC cannot see
// that these two pair up and warns about free() on new'd memory.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<unsigned long> allocations{0};

void* operator new(std::size_t n)
{
    allocations++;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using clock_type = std::chrono::steady_clock;

// The cost of lcd_clear alone, the yardstick of every pass: the best of
// several timed runs, taken before the benchmarks start.
double clear_seconds()
{
    static double seconds = [] {
        const int n = 200000;
        double best = 1e9;
        for (int run = 0; run < 7; run++) {
            auto t0 = clock_type::now();
            for (int i = 0; i < n; i++) {
                lcd_clear();
                benchmark::DoNotOptimize(lcd_buffer);
            }
            best = std::min(best, std::chrono::duration<double>(clock_type::now() - t0).count() / n);
        }
        return best;
    }();
    return seconds;
}

// Runs body once per iteration; reports allocations and the ratio to a clear.
template <typename Body>
void measured(benchmark::State& state, Body body)
{
    unsigned long before = allocations;
    auto t0 = clock_type::now();
    for (auto _ : state) {
        body();
        benchmark::DoNotOptimize(lcd_buffer);
    }
    double per = std::chrono::duration<double>(clock_type::now() - t0).count() / double(state.iterations());
    state.counters["allocs"] = double(allocations - before) / double(state.iterations());
    state.counters["x_clear"] = per / clear_seconds();
}

void instrument_on()
{
    host_switch_on();
    st.asi_adc = 1400;
    st.altitude = 3500;
    st.vertical_speed = 600;
    st.vertical_speed_cms = 305;
    st.alt_sensor_ok = 1;
    update_airspeed();
}

// One pass of a screen as the run loop makes it: clear, draw, key (none).
void BM_ScreenPass(benchmark::State& state, screen_handler handler)
{
    instrument_on();
    st.test_altitude = -1000;
    measured(state, [&] {
        st.current_screen = handler;
        st.pending_key = 0;
        lcd_clear();
        handler();
    });
}

void BM_Clear(benchmark::State& state)
{
    measured(state, [] { lcd_clear(); });
}

void BM_Primitives(benchmark::State& state)
{
    init_trig_tables();
    measured(state, [] {
        lcd_hline(0, 159, 64, 15);
        lcd_vline(0, 127, 80, 15);
        lcd_line(0, 0, 159, 127, 15);
        lcd_frame(16, 17, 145, 88, 15);
        lcd_fill(10, 83, 149, 95, 9);
        lcd_arc(80, 132, 20, 220, 320, 15);
    });
}

void BM_FullPass(benchmark::State& state)
{
    instrument_on();
    st.serial_out = 1;
    measured(state, [] { run_pass(HEADLESS_HOST); });
}

void BM_Text(benchmark::State& state, uint8_t size)
{
    const char* text = size >= 20 ? "-12345" : "ALT 1013mb";
    measured(state, [&] { draw_text(80, 40, text, 0, size, 0, 15); });
}

void BM_Icon(benchmark::State& state, const uint8_t* const* icon)
{
    measured(state, [&] { draw_rle_image(10, 45, *icon); });
}

void BM_PointBatch(benchmark::State& state)
{
    instrument_on();
    st.current_screen = screen_main;
    lcd_clear();
    screen_main();
    static lcd_point points[LCD_WIDTH * LCD_HEIGHT];
    int n = 0;
    measured(state, [&] { n = lcd_collect_points(lcd_buffer, points); });
    state.counters["points"] = n;
}

// The replay tool stepping one hour of flight: 36,000 ticks, one pass each.
void BM_ReplayHour(benchmark::State& state)
{
    static FILE* sink = fopen("/dev/null", "w");
    const char* script = "on\nasi 1500\nwait 36000\n";
    unsigned long before = allocations;
    auto t0 = clock_type::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(replay_run_text(script, sink, sink));
    double per = std::chrono::duration<double>(clock_type::now() - t0).count() / double(state.iterations());
    state.counters["passes_per_s"] = 36000.0 / per;
    state.counters["allocs_per_pass"] = double(allocations - before) / double(state.iterations()) / 36000.0;
    state.counters["x_clear"] = per / 36000.0 / clear_seconds();
}

// A made-up flight of the given hours for the playback benchmarks: a fix a
// second, climbing and descending, the indicated airspeed swinging over the
// whole scale, so that every tick moves all three inputs.
const flight& flight_of_hours(int hours)
{
    static flight made[11];
    flight& f = made[hours];
    if (f.fixes.empty()) {
        std::string text = "AXXXBENCH\nHFDTE010526\nI013638IAS\n";
        char line[64];
        for (int s = 0; s < hours * 3600; s++) {
            const int t = 6 * 3600 + s;
            const int altitude = 1000 + (s % 1200 < 600 ? s % 600 : 600 - s % 600) * 3;
            const int ias = 40 + (s * 7) % 300;
            snprintf(line, sizeof line, "B%02d%02d%02d4700000N00800000EA%05d%05d%03d\n", t / 3600 % 24, t / 60 % 60,
                     t % 60, altitude, altitude, ias);
            text += line;
        }
        std::string why;
        if (!read_igc(text, f, why))
            abort();
    }
    return f;
}

// Headless playback of a recorded flight: a tick every 100 ms of flight
// time, each writing the three inputs and followed by one pass.
void BM_FlightPlayback(benchmark::State& state, int hours)
{
    const flight& f = flight_of_hours(hours);
    const long long ticks = hours * 3600LL * TICKS_PER_SECOND;
    auto t0 = clock_type::now();
    for (auto _ : state) {
        host_program_start();
        host_switch_on();
        st.flight_timer_mode = TIMER_MODE_DETECT;
        flight_player player(f);
        player.fly(ticks, HEADLESS_HOST);
        benchmark::DoNotOptimize(st.max_airspeed);
    }
    double per = std::chrono::duration<double>(clock_type::now() - t0).count() / double(state.iterations());
    state.counters["ticks_per_s"] = double(ticks) / per;
    state.counters["x_clear"] = per / double(ticks) / clear_seconds();
}

// The flight's side of one tick alone: the values at the time and the three
// inputs at the instrument's settings, without the pass.
void BM_FlightInputs(benchmark::State& state)
{
    host_program_start();
    host_switch_on();
    flight_player player(flight_of_hours(1));
    auto t0 = clock_type::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(player.write_inputs());
        player.seek(player.time() + TICK_SECONDS);
        if (player.at_end())
            player.seek(0);
    }
    double per = std::chrono::duration<double>(clock_type::now() - t0).count() / double(state.iterations());
    state.counters["x_clear"] = per / clear_seconds();
}

void register_all()
{
    benchmark::RegisterBenchmark("clear", BM_Clear);
    benchmark::RegisterBenchmark("primitives", BM_Primitives);
    benchmark::RegisterBenchmark("run_pass/main_serial_on", BM_FullPass);
    for (const screen_name_entry& s : screen_names())
        benchmark::RegisterBenchmark((std::string("pass/") + s.name).c_str(), BM_ScreenPass, s.handler);
    const uint8_t sizes[] = {8, 9, 10, 12, 16, 20, 24, 30, 34};
    for (auto s : sizes)
        benchmark::RegisterBenchmark(("draw_text/font_" + std::to_string(s)).c_str(), BM_Text, s);
    const struct {
        const char* name;
        const uint8_t* const* icon;
    } icons[] = {
        {"icon_exclamation", &icon_exclamation},   {"icon_question", &icon_question},
        {"icon_alt_setup", &icon_alt_setup},       {"icon_vsi_setup", &icon_vsi_setup},
        {"icon_asi_setup", &icon_asi_setup},       {"icon_timers_setup", &icon_timers_setup},
        {"icon_misc_setup", &icon_misc_setup},     {"icon_adc_values", &icon_adc_values},
    };
    for (auto& i : icons)
        benchmark::RegisterBenchmark((std::string("draw_rle_image/") + i.name).c_str(), BM_Icon, i.icon);
    benchmark::RegisterBenchmark("present/palette_and_point_batch", BM_PointBatch);
    benchmark::RegisterBenchmark("replay/one_hour_of_flight", BM_ReplayHour)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("flight/inputs_of_one_tick", BM_FlightInputs);
    benchmark::RegisterBenchmark("flight/playback_one_hour", BM_FlightPlayback, 1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("flight/playback_ten_hours", BM_FlightPlayback, 10)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
}

}  // namespace

int main(int argc, char** argv)
{
    register_all();
    clear_seconds();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
