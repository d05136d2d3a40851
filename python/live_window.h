// ktr7.connect(SOCKET): a live window (ktr7-sim --control SOCKET) driven
// from Python with the calls of Instrument that apply to it. Every call is
// one or more scenario lines, checked first by the language's parser (so a
// bad value is refused with the same ValueError as Instrument's) and then
// run by the window at its own clock; what they print is read back.
#pragma once
#include <pybind11/pybind11.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/sensor_inputs.h"
#include "python/control_connection.h"
#include "python/sentence_ring.h"
#include "session/session.h"

using lcd_snapshot = std::array<uint8_t, LCD_WIDTH * LCD_HEIGHT>;

class live_window {
public:
    live_window(const std::string& path, double timeout) : connection_(path, timeout) {}

    void close() { connection_.close(); }
    bool closed() const { return !connection_.is_open(); }
    const std::string& path() const { return connection_.path(); }

    // One line, checked and run; the lines it printed. RuntimeError for an
    // error answer, AssertionError for a failed expectation.
    std::vector<std::string> run_line(const std::string& line);

    void on();
    void off();
    bool is_on();
    void key(std::string_view word);
    int32_t input(sensor_input which);
    void set_input(sensor_input which, const pybind11::handle& value);
    bool sensor_ok();
    void set_sensor_ok(bool ok);
    void tick(const pybind11::handle& count);
    void pass(const pybind11::handle& count);
    void wait(const pybind11::handle& count);
    pybind11::dict load_flight(const std::string& path);
    void fly(const pybind11::handle& seconds);

    // A field as print shows it, and as the Python value Instrument.state gives.
    std::string printed(std::string_view name);
    pybind11::object value(std::string_view name);
    // Every field at once (one print line), in the order of the record.
    pybind11::list items();

    // print text's lines as ktr7.Text tuples, and their words joined.
    pybind11::list texts(const pybind11::handle& text_type);
    std::string text();

    void png(const std::string& path, const pybind11::handle& scale);
    void expect_png(const std::string& path);
    // The LCD as the window has it now (through dump and a file of our own).
    lcd_snapshot frame();
    void gif(const std::string& path, const pybind11::handle& scale);
    void gif_end();

    const sentence_ring& serial() const { return serial_; }

private:
    // The line sent and its answer read; seconds is what it takes in the window.
    control_answer exchange(const std::string& line, double seconds = 0);
    // The same, RuntimeError for an error answer.
    std::vector<std::string> lines(const std::string& line, double seconds = 0);
    void count_line(const char* command, const pybind11::handle& count);

    control_connection connection_;
    sentence_ring serial_;
    // The loaded flight's length, for how long "fly end" may take.
    double flight_seconds_ = 0;
};

// The Python class ktr7.LiveWindow, ktr7.LiveState, ktr7.LiveGifRecording and ktr7.connect.
void define_live_window(pybind11::module_& m);
