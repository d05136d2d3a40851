#include "python/instrument.h"

#include <string>

#include "python/flight_play.h"
#include "python/language_values.h"

namespace py = pybind11;

namespace {

// n times step(), Ctrl-C looked at every SIGNAL_CHECK_INTERVAL of them.
template <class Step>
void repeat(long long n, Step step)
{
    for (long long i = 0; i < n; i++) {
        step();
        if (i % SIGNAL_CHECK_INTERVAL == SIGNAL_CHECK_INTERVAL - 1)
            check_python_signals();
    }
}

}  // namespace

void check_python_signals()
{
    if (PyErr_CheckSignals() != 0)
        throw py::error_already_set();
}

instrument::instrument()
{
    stored_frame();
}

void instrument::check_open() const
{
    if (closed_)
        throw std::runtime_error("this Instrument is closed; make a new one");
}

void instrument::on()
{
    check_open();
    session_.switch_on();
    serial_.forget();
}

void instrument::off()
{
    check_open();
    session_.switch_off();
}

void instrument::key(std::string_view word)
{
    check_open();
    for (uint8_t code = 1; scenario_key_word(code) != nullptr; code++)
        if (word == scenario_key_word(code)) {
            session_.post_key(code);
            return;
        }
    // Anything else reads as the language reads "key WORD", refusals and all.
    session_.post_key(uint8_t(parsed_or_refused("key " + std::string(word)).number));
}

int32_t instrument::input(sensor_input which)
{
    check_open();
    return session_.input(which);
}

void instrument::set_input(sensor_input which, const py::handle& value)
{
    check_open();
    const sensor_input_info& info = sensor_input_of(which);
    session_.set_input(which, int32_t(number_or_refused(info.word, value, info.minimum, info.maximum)));
}

void instrument::set_sensor_ok(bool ok)
{
    check_open();
    session_.set_sensor_checked(ok);
}

long long instrument::count_of(const char* command, const py::handle& value) const
{
    check_open();
    return number_or_refused(command, value, 0, SCENARIO_COUNT_MAX);
}

void instrument::require_on(const char* command) const
{
    scenario_failure failure;
    if (!scenario_needs_on(session_.running(), command, failure))
        throw std::runtime_error(failure.text);
}

void instrument::tick(const py::handle& count)
{
    repeat(count_of("tick", count), [this] { session_.timer_tick(); });
}

void instrument::pass(const py::handle& count)
{
    const long long n = count_of("pass", count);
    require_on("pass");
    frame_kept kept(*this);
    repeat(n, [this] { session_.pass(serial_); });
}

void instrument::wait(const py::handle& count)
{
    const long long n = count_of("wait", count);
    require_on("wait");
    frame_kept kept(*this);
    repeat(n, [this] {
        session_.timer_tick();
        session_.pass(serial_);
    });
}

py::dict instrument::load_flight(const std::string& path)
{
    check_open();
    return load_flight_file(session_.flight(), path);
}

void instrument::fly(const py::handle& seconds)
{
    check_open();
    const session_flight& played = session_.flight();
    long long ticks = fly_ticks(seconds, played.is_open() ? played.ticks_left() : 0);
    require_on("fly");
    if (!session_.flight().is_open())
        throw std::runtime_error("fly: no flight loaded (load one with load_flight(path))");
    frame_kept kept(*this);
    while (ticks > 0) {
        const long long chunk = ticks < SIGNAL_CHECK_INTERVAL ? ticks : SIGNAL_CHECK_INTERVAL;
        session_.fly(chunk, serial_);
        ticks -= chunk;
        if (ticks > 0)
            check_python_signals();
    }
}
