// The instrument as the Python module holds it: a session of its own (so
// several live in one process, each with its own settings, inputs and LCD),
// the sentences its passes send kept for Python, and bad commands refused
// with the scenario language's own messages.
#pragma once
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>

#include "host/sensor_inputs.h"
#include "python/sentence_ring.h"
#include "session/session.h"

// Python's Ctrl-C is looked at once per this many passes or ticks.
constexpr long long SIGNAL_CHECK_INTERVAL = 4096;

// Raises KeyboardInterrupt (or what a signal handler raised) once Python has
// seen a signal.
void check_python_signals();

class instrument {
public:
    // Program start: every field zero, the LCD black, the instrument off,
    // the check box checked, the main display current.
    instrument();
    instrument(const instrument&) = delete;
    instrument& operator=(const instrument&) = delete;

    // Every later call raises.
    void close() { closed_ = true; }
    bool closed() const { return closed_; }
    // Raises RuntimeError after close().
    void check_open() const;

    void on();
    void off();
    bool running() const { return session_.running(); }

    void key(std::string_view word);
    int32_t input(sensor_input which);
    void set_input(sensor_input which, const pybind11::handle& value);
    bool sensor_ok() const { return session_.sensor_checked(); }
    void set_sensor_ok(bool ok);

    void tick(const pybind11::handle& count);
    void pass(const pybind11::handle& count);
    void wait(const pybind11::handle& count);

    // The recorded flight load_flight opened, and seconds of it played.
    pybind11::dict load_flight(const std::string& path);
    void fly(const pybind11::handle& seconds);

    // The sentences since on(), oldest first, and how many were sent.
    const sentence_ring& serial() const { return serial_; }
    // Runs a scenario on this instrument's session (scenario_run.h), whose
    // sentences are its output's and not serial's.
    void forget_serial() { serial_.forget(); }

    // For what reads the instrument through the session: the state record
    // (after activate()), the lamp, the LCD.
    instrument_session& session() { return session_; }
    // The LCD as Python's view of it shows it: kept current after every
    // call that runs passes.
    const uint8_t* stored_frame() { return session_.stored().frame; }

private:
    // A count for tick, pass or wait, refused as the scenario would.
    long long count_of(const char* command, const pybind11::handle& value) const;
    // pass, wait and fly refuse while off, with the language's message.
    void require_on(const char* command) const;

    instrument_session session_;
    sentence_ring serial_;
    bool closed_ = false;
};

// Keeps the session's stored image current when a call that runs passes
// ends, also when Ctrl-C ends it: Python's LCD view shows that image.
class frame_kept {
public:
    explicit frame_kept(instrument& inst) : inst_(inst) {}
    ~frame_kept() { inst_.stored_frame(); }
    frame_kept(const frame_kept&) = delete;
    frame_kept& operator=(const frame_kept&) = delete;

private:
    instrument& inst_;
};
