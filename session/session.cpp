#include "session/session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/state.h"
#include "host/pass.h"
#include "link/link_inputs.h"

namespace {

// The session whose instrument the instrument's statics hold now.
instrument_session* active = nullptr;

class no_display final : public session_display {};
no_display nothing_shown;

// The pass's host interface over a display, for one pass.
struct pass_host {
    session_display& display;
    bool sensor_ok;
};

pass_host& host_of(void* context)
{
    return *static_cast<pass_host*>(context);
}

host_io io_for(pass_host& host)
{
    return {
        &host,
        [](void* c, bool red) { host_of(c).display.show_lamp(red); },
        [](void* c) { return host_of(c).sensor_ok; },
        [](void* c, const char* line) { host_of(c).display.show_sentence(line); },
        [](void* c) { host_of(c).display.show_frame(lcd_buffer); },
        [](void* c) { host_of(c).display.after_pass(); },
    };
}

}  // namespace

session_display& NO_DISPLAY = nothing_shown;

void session_display::show_lamp(bool) {}
void session_display::show_sentence(const char*) {}
void session_display::show_frame(const uint8_t*) {}
void session_display::after_pass() {}

void session_observer::session_ticked() {}
void session_observer::session_passed() {}
void session_observer::session_switched(bool) {}
void session_observer::session_inputs_moved() {}
void session_observer::session_flight_changed() {}
void session_observer::session_notice(const char*) {}

instrument_session::instrument_session() : image_(std::make_unique<instrument_image>()), flight_(*this)
{
    program_start();
}

instrument_session::~instrument_session()
{
    if (active == this)
        active = nullptr;
}

void instrument_session::activate()
{
    if (active == this)
        return;
    if (active != nullptr)
        save_instrument(*active->image_);
    load_instrument(*image_);
    active = this;
}

const instrument_image& instrument_session::stored()
{
    if (active == this)
        save_instrument(*image_);
    return *image_;
}

void instrument_session::program_start()
{
    activate();
    flight_.close();
    host_program_start();
    on_ = false;
    sensor_ok_ = true;
    ticks_ = 0;
    passes_ = 0;
}

void instrument_session::switch_on()
{
    activate();
    host_switch_on();
    on_ = true;
    tell([](session_observer& o) { o.session_switched(true); });
}

void instrument_session::switch_off()
{
    activate();
    host_switch_off();
    on_ = false;
    if (flight_.playing())
        flight_.pause("Flight paused: the instrument was switched off");
    tell([](session_observer& o) { o.session_switched(false); });
}

void instrument_session::set_sensor_checked(bool ok)
{
    if (ok == sensor_ok_)
        return;
    sensor_ok_ = ok;
    tell([](session_observer& o) { o.session_inputs_moved(); });
}

void instrument_session::set_input(sensor_input which, int32_t position)
{
    activate();
    host_set_input(which, clamp_sensor_input(which, position));
    tell([](session_observer& o) { o.session_inputs_moved(); });
    if (flight_.playing()) {
        char why[96];
        snprintf(why, sizeof why, "Flight paused: the %.*s slider was moved by hand",
                 int(strlen(sensor_input_of(which).caption)) - 1, sensor_input_of(which).caption);
        flight_.pause(why);
    }
}

int32_t instrument_session::input(sensor_input which)
{
    activate();
    switch (which) {
    case sensor_input::altitude: return st.altitude;
    case sensor_input::vertical_speed: return st.vertical_speed;
    case sensor_input::asi_adc: return st.asi_adc;
    }
    return 0;
}

void instrument_session::post_key(uint8_t key)
{
    activate();
    host_post_key(key);
}

bool instrument_session::key_pending()
{
    activate();
    return st.pending_key != 0;
}

void instrument_session::timer_tick()
{
    activate();
    host_timer_tick();
    ticks_++;
    tell([](session_observer& o) { o.session_ticked(); });
}

bool instrument_session::pass(session_display& display)
{
    activate();
    if (!on_)
        return false;
    pass_host host{display, sensor_ok_};
    const host_io io = io_for(host);
    run_pass(io);
    passes_++;
    tell([](session_observer& o) { o.session_passed(); });
    return true;
}

void instrument_session::write_inputs(int32_t altitude, int32_t vertical_speed, int32_t asi_adc)
{
    host_set_input(sensor_input::altitude, altitude);
    host_set_input(sensor_input::vertical_speed, vertical_speed);
    host_set_input(sensor_input::asi_adc, asi_adc);
    tell([](session_observer& o) { o.session_inputs_moved(); });
}

void instrument_session::write_flight_tick()
{
    flight_.write_inputs_now();
    flight_.player_->step();
}

void instrument_session::clock_tick(session_display& quiet)
{
    activate();
    if (!on_ || !flight_.playing()) {
        timer_tick();
        return;
    }
    write_flight_tick();
    timer_tick();
    if (!flight_.ticked())
        return;
    const long long extra = std::min<long long>(flight_.speed() - 1, flight_.ticks_left());
    for (long long i = 0; i < extra; i++) {
        pass(quiet);
        write_flight_tick();
        timer_tick();
        if (!flight_.ticked())
            return;
    }
}

bool instrument_session::fly(long long ticks, session_display& display)
{
    activate();
    if (!on_ || !flight_.is_open())
        return false;
    for (long long i = 0; i < ticks; i++) {
        write_flight_tick();
        timer_tick();
        pass(display);
    }
    tell([](session_observer& o) { o.session_flight_changed(); });
    return true;
}

void instrument_session::take_link_values(const link_values& values)
{
    take_link_values(values, {true, true, true});
}

void instrument_session::take_link_values(const link_values& values, const std::array<bool, 3>& controlled)
{
    activate();
    const flight_inputs inputs = link_inputs(values);
    write_inputs(controlled[size_t(sensor_input::altitude)] ? inputs.altitude : st.altitude,
                 controlled[size_t(sensor_input::vertical_speed)] ? inputs.vertical_speed : st.vertical_speed,
                 controlled[size_t(sensor_input::asi_adc)] ? inputs.asi_adc : st.asi_adc);
}

uint32_t instrument_session::qnh_setting()
{
    activate();
    return st.qnh;
}

bool instrument_session::lamp_red()
{
    activate();
    return shown_lamp_red();
}

const char* instrument_session::newest_sentence()
{
    activate();
    return ::newest_sentence();
}

uint32_t instrument_session::sentences_sent()
{
    activate();
    return ::sentences_sent();
}

const uint8_t* instrument_session::frame()
{
    activate();
    return lcd_buffer;
}

const text_log& instrument_session::texts()
{
    activate();
    return lcd_text_log;
}

void instrument_session::owner_flight_changed()
{
    tell([](session_observer& o) { o.session_flight_changed(); });
}

void instrument_session::owner_notice(const char* text)
{
    tell([text](session_observer& o) { o.session_notice(text); });
}

void instrument_session::owner_inputs_moved()
{
    tell([](session_observer& o) { o.session_inputs_moved(); });
}

void instrument_session::add_observer(session_observer* observer)
{
    for (session_observer*& slot : observers_)
        if (slot == observer)
            return;
    for (session_observer*& slot : observers_)
        if (slot == nullptr) {
            slot = observer;
            return;
        }
    fprintf(stderr, "instrument_session: more than %d followers\n", MAX_OBSERVERS);
    abort();
}

void instrument_session::remove_observer(session_observer* observer)
{
    for (session_observer*& slot : observers_)
        if (slot == observer)
            slot = nullptr;
}
