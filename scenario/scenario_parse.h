// One line of a scenario, parsed: the command and its checked arguments.
// Parsing knows nothing of time or of the instrument being on; it refuses
// only what no run could use (unknown words, numbers out of range, a range
// the wrong way round). Shared by the replay tool, the window's playback and
// the web page, so all three read a scenario alike.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/sensor_inputs.h"
#include "scenario/escape.h"

enum class scenario_op : uint8_t {
    none,  // blank line or comment
    on,
    off,
    key,       // number: the key code
    input,     // input: which sensor input; number: its position
    sensor,  // number: 1 ok, 0 fault
    tick,    // number: count
    pass,
    wait,
    print,          // text: the names, checked
    png,            // text: file; number: scale
    dump,           // text: file
    expect_value,   // name: field; text: the value as print shows it
    expect_range,   // name: integer field; number..high: inclusive range
    expect_serial,  // text: the escaped sentence
    expect_png,     // text: the reference picture's file
    flight,         // text: the flight file to load
    fly,            // number: seconds of flight time to play, FLY_TO_END for "fly end"
    print_text,     // the strings on the LCD
    print_lcd,      // the LCD drawn as text
    expect_text,    // text: the escaped string; number, high: its start x and y, or TEXT_ANYWHERE
    gif,            // text: file; number: scale
    gif_end,
};

// "fly end": play to the flight's last fix.
constexpr long long FLY_TO_END = -1;
// "expect text TEXT" without "at X Y": the string may be anywhere.
constexpr long long TEXT_ANYWHERE = -1;

struct scenario_command {
    scenario_op op = scenario_op::none;
    long long number = 0;
    long long high = 0;
    std::string_view name;
    std::string_view text;
    sensor_input input = sensor_input::altitude;
};

// Counts of tick, pass and wait above this are refused.
constexpr long long SCENARIO_COUNT_MAX = 1000000000;
// Words shown in messages are cut to this length, file names to QUOTED_MAX.
constexpr size_t WORD_SHOWN = 64;
constexpr size_t QUOTED_MAX = 1024;
// Longest file name a scenario may give.
constexpr size_t SCENARIO_PATH_MAX = 4095;

// A line's failure: the message after "ktr7-replay: line N: ".
struct scenario_failure {
    char text[escaped_capacity(QUOTED_MAX) + 256];
};

// Parses one line (without its '\n'). count_max caps tick, pass and wait.
// The views in command point into line.
bool parse_scenario_line(std::string_view line, scenario_command& command, scenario_failure& failure,
                         long long count_max = SCENARIO_COUNT_MAX);

// The word "key" takes for a key code; nullptr for a code it has none for.
const char* scenario_key_word(uint8_t key);

// pass and wait run only while the instrument is on: true when on, else false
// with the failure set.
bool scenario_needs_on(bool on, const char* command, scenario_failure& failure);

// Sets the failure text, printf-style; returns false.
[[gnu::format(printf, 2, 3)]] bool scenario_fail(scenario_failure& failure, const char* format, ...);

// A word as it may appear inside a message: escaped, and cut to a sane
// length unless it is a file name (cut only at QUOTED_MAX).
struct quoted {
    char text[escaped_capacity(QUOTED_MAX)];
    explicit quoted(std::string_view word, size_t limit = WORD_SHOWN);
};
struct quoted_path : quoted {
    explicit quoted_path(std::string_view word) : quoted(word, QUOTED_MAX) {}
};

// A word as a C string, for file names.
struct c_word {
    char text[SCENARIO_PATH_MAX + 1];
    bool fits;
    explicit c_word(std::string_view word);
};
