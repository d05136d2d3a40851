#include "python/instrument.h"

#include <cstring>

#include "core/state.h"
#include "python/language_values.h"
#include "replay/replay.h"
#include "replay/replay_host.h"

namespace py = pybind11;

namespace {

// The instrument that lives now, if any: there is one state record.
const instrument* living = nullptr;

// Python sees the lamp through shown_lamp_red, the LCD through lcd_buffer;
// nothing is shown and there are no events to handle between passes.
void no_lamp(void*, bool) {}
void no_present(void*) {}
void no_events(void*) {}

bool check_box(void*)
{
    return replay_sensor_checked();
}

}  // namespace

void check_python_signals(long long done)
{
    if (done % SIGNAL_CHECK_INTERVAL == SIGNAL_CHECK_INTERVAL - 1 && PyErr_CheckSignals() != 0)
        throw py::error_already_set();
}

instrument::instrument()
    : io_{this, no_lamp, check_box, append_sentence, no_present, no_events}, serial_(SERIAL_KEPT)
{
    if (living != nullptr)
        throw instrument_in_use(
            "an Instrument already lives in this process: the instrument's state is one static record, so there "
            "is one instrument at a time; close() the other one (or let it go) first");
    living = this;
    replay_reset();
}

instrument::~instrument()
{
    if (living == this)
        living = nullptr;
}

void instrument::close()
{
    if (living == this)
        living = nullptr;
    closed_ = true;
    running_ = false;
}

void instrument::check_open() const
{
    if (closed_)
        throw std::runtime_error("this Instrument is closed; make a new one");
}

void instrument::on()
{
    check_open();
    host_switch_on();
    forget_serial();
    running_ = true;
}

void instrument::off()
{
    check_open();
    host_switch_off();
    running_ = false;
}

void instrument::key(std::string_view word)
{
    check_open();
    for (uint8_t code = 1; scenario_key_word(code) != nullptr; code++)
        if (word == scenario_key_word(code)) {
            host_post_key(code);
            return;
        }
    // Anything else reads as the language reads "key WORD", refusals and all.
    host_post_key(uint8_t(parsed_or_refused("key " + std::string(word)).number));
}

int32_t instrument::input(sensor_input which) const
{
    switch (which) {
    case sensor_input::altitude: return st.altitude;
    case sensor_input::vertical_speed: return st.vertical_speed;
    case sensor_input::asi_adc: return st.asi_adc;
    }
    return 0;
}

void instrument::set_input(sensor_input which, const py::handle& value)
{
    check_open();
    const sensor_input_info& info = sensor_input_of(which);
    host_set_input(which, int32_t(number_or_refused(info.word, value, info.minimum, info.maximum)));
}

bool instrument::sensor_ok() const
{
    return replay_sensor_checked();
}

void instrument::set_sensor_ok(bool ok)
{
    check_open();
    replay_set_sensor_checked(ok);
}

long long instrument::count_of(const char* command, const py::handle& value) const
{
    check_open();
    return number_or_refused(command, value, 0, SCENARIO_COUNT_MAX);
}

void instrument::require_on(const char* command) const
{
    scenario_failure failure;
    if (!scenario_needs_on(running_, command, failure))
        throw std::runtime_error(failure.text);
}

void instrument::tick(const py::handle& count)
{
    run_ticks(count_of("tick", count), [](const host_io&) { host_timer_tick(); });
}

void instrument::pass(const py::handle& count)
{
    const long long n = count_of("pass", count);
    require_on("pass");
    run_ticks(n, [](const host_io& io) { run_pass(io); });
}

void instrument::wait(const py::handle& count)
{
    const long long n = count_of("wait", count);
    require_on("wait");
    run_ticks(n, [](const host_io& io) {
        host_timer_tick();
        run_pass(io);
    });
}

void instrument::fly(const py::handle& seconds)
{
    check_open();
    const long long ticks = flight_.ticks_for(seconds);
    require_on("fly");
    if (!flight_.loaded())
        throw std::runtime_error("fly: no flight loaded (load one with load_flight(path))");
    run_ticks(ticks, [this](const host_io& io) { flight_.tick(io); });
}

void instrument::append_sentence(void* context, const char* line)
{
    instrument& self = *static_cast<instrument*>(context);
    std::array<char, SERIAL_LINE_SIZE>& slot = self.serial_[self.serial_count_ % SERIAL_KEPT];
    const size_t length = strnlen(line, SERIAL_LINE_SIZE - 1);
    memcpy(slot.data(), line, length);
    slot[length] = '\0';
    self.serial_count_++;
}

void instrument::forget_serial()
{
    serial_count_ = 0;
}

py::list instrument::serial() const
{
    py::list sentences;
    const uint64_t kept = serial_count_ < SERIAL_KEPT ? serial_count_ : SERIAL_KEPT;
    for (uint64_t i = serial_count_ - kept; i < serial_count_; i++) {
        const char* line = serial_[i % SERIAL_KEPT].data();
        sentences.append(py::reinterpret_steal<py::str>(
            PyUnicode_DecodeLatin1(line, py::ssize_t(strlen(line)), nullptr)));
    }
    return sentences;
}
