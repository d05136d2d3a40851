// Scenarios played live in the web page: the shared player, with the page's
// controls as its hands. Keys go straight to the instrument; the sliders and
// the check box are moved on the page, so their numbers follow; report lines,
// the end of the run and the reference pictures of expect png are the page's
// scenario box's; "flight" loads a log the page read before playing, and
// "fly" plays it in the page's flight bar, one tick of flight a tick.
#include "web/web_scenario.h"

#include <emscripten.h>

#include "host/pass.h"
#include "scenario/scenario_player.h"
#include "web/web_main.h"

// The page's side, in page.js (Module.ktr7Page).
EM_JS(void, page_set_slider, (int which, int position), { Module.ktr7Page.setSlider(which, position); });
EM_JS(void, page_set_sensor, (int ok), { Module.ktr7Page.setSensor(ok !== 0); });
EM_JS(void, page_switched, (), { Module.ktr7Page.switched(); });
EM_JS(void, page_report, (const char* line, int failed),
      { Module.ktr7Page.report(UTF8ToString(line), failed !== 0); });
EM_JS(void, page_finished, (int status), { Module.ktr7Page.finished(status); });
EM_JS(int, page_check_png, (const char* path, char* report, int cap),
      { return Module.ktr7Page.checkPng(UTF8ToString(path), report, cap); });
EM_JS(int, page_load_flight, (const char* path, char* why, int cap),
      { return Module.ktr7Page.loadFlight(UTF8ToString(path), why, cap); });
EM_JS(double, page_fly, (double ticks, char* why, int cap), { return Module.ktr7Page.fly(ticks, why, cap); });

namespace {

const player_io web_player_io = {
    nullptr,
    [](void*) {
        web_switch_on();
        page_switched();
    },
    [](void*) {
        web_switch_off();
        page_switched();
    },
    [](void*, uint8_t key) { host_post_key(key); },
    // The page's sliders are numbered as the inputs are.
    [](void*, sensor_input input, int32_t position) { page_set_slider(int(input), position); },
    [](void*, bool ok) { page_set_sensor(ok ? 1 : 0); },
    [](void*, const char* line, bool failed) { page_report(line, failed ? 1 : 0); },
    [](void*, int status) { page_finished(status); },
    // The page writes no files: png and dump are refused. expect png
    // compares with the pictures the page loaded before playing.
    nullptr,
    nullptr,
    [](void*, const char* path, char* report, size_t cap) { return page_check_png(path, report, int(cap)); },
    [](void*, const char* path, char* why, size_t cap) { return page_load_flight(path, why, int(cap)) != 0; },
    [](void*, long long ticks, char* why, size_t cap) {
        return static_cast<long long>(page_fly(double(ticks), why, int(cap)));
    },
};

}  // namespace

extern "C" {

void web_player_start(const char* script, int length)
{
    player_start(std::string_view(script, length > 0 ? size_t(length) : 0), web_player_io);
}

void web_player_stop()
{
    player_stop();
}

int web_player_playing()
{
    return player_playing() ? 1 : 0;
}

int web_player_line()
{
    return int(player_line());
}

void web_player_tick()
{
    player_tick();
}

void web_player_pass()
{
    player_pass();
}

}  // extern "C"
