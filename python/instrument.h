// The instrument as the Python module holds it: one per process (its state is
// the one static record), driven through the shared pass with a host of its
// own (the check box, and the sentences kept for Python), and refusing bad
// commands with the scenario language's own messages.
#pragma once
#include <pybind11/pybind11.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "python/flight_play.h"

// Instrument.serial keeps the newest this many sentences.
constexpr size_t SERIAL_KEPT = 10000;
// Python's Ctrl-C is looked at once per this many passes or ticks.
constexpr long long SIGNAL_CHECK_INTERVAL = 4096;

// Raises KeyboardInterrupt (or what a signal handler raised) once Python has
// seen a signal; looks once per SIGNAL_CHECK_INTERVAL calls (done counts them).
void check_python_signals(long long done);

// Raised by a second Instrument() while one lives.
struct instrument_in_use : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class instrument {
public:
    // Program start: every field zero, the LCD black, the instrument off,
    // the check box checked, the main display current.
    instrument();
    ~instrument();
    instrument(const instrument&) = delete;
    instrument& operator=(const instrument&) = delete;

    // Lets another instrument be made; every later call raises.
    void close();
    bool closed() const { return closed_; }
    // Raises RuntimeError after close().
    void check_open() const;

    void on();
    void off();
    bool running() const { return running_; }
    // After a scenario ran against the state: on or off as it left it.
    void set_running(bool running) { running_ = running; }

    void key(std::string_view word);
    int32_t input(sensor_input which) const;
    void set_input(sensor_input which, const pybind11::handle& value);
    bool sensor_ok() const;
    void set_sensor_ok(bool ok);

    // pass and wait refuse while off, with the language's message.
    void require_on(const char* command) const;
    // n times step(io), Ctrl-C looked at as it goes.
    template <class Step>
    void run_ticks(long long n, Step step)
    {
        for (long long i = 0; i < n; i++) {
            step(io_);
            check_python_signals(i);
        }
    }

    void tick(const pybind11::handle& count);
    void pass(const pybind11::handle& count);
    void wait(const pybind11::handle& count);

    // The sentences since on, oldest first, and how many were sent in all.
    pybind11::list serial() const;
    uint64_t serial_count() const { return serial_count_; }
    // Forgets the sentences (program start and switch-on).
    void forget_serial();

    // The recorded flight load_flight loaded, and seconds of it played.
    flight_playback& flight() { return flight_; }
    void fly(const pybind11::handle& seconds);

private:
    static void append_sentence(void* context, const char* line);
    // A count for tick, pass or wait, refused as the scenario would.
    long long count_of(const char* command, const pybind11::handle& value) const;

    host_io io_;
    bool closed_ = false;
    bool running_ = false;
    // The newest SERIAL_KEPT sentences, a ring made once: a pass allocates
    // nothing. serial_count_ % SERIAL_KEPT is where the next one goes.
    std::vector<std::array<char, SERIAL_LINE_SIZE>> serial_;
    uint64_t serial_count_ = 0;
    flight_playback flight_;
};
