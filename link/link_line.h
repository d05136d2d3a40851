// One line of the flight simulator link: four comma-separated numbers that a
// flight simulator (or any program feeding the instrument) sends, a line per
// UDP datagram or per line of a file:
//
//     PRESSURE_ALTITUDE_FT,VERTICAL_SPEED_FPS,INDICATED_AIRSPEED_KT,ELAPSED_S
//     3250.4,8.33,95.2,1234.50
//
// Whatever reaches the port is read here, so nothing is trusted: a line of the
// wrong shape, with text, NaN, infinities or numbers no aircraft flies is
// refused with its reason, never half taken.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// Longer lines are refused unread.
constexpr size_t LINK_LINE_MAX = 256;
constexpr int LINK_FIELDS = 4;

struct link_values {
    double pressure_altitude_ft;  // over 1013.25 mb, standard atmosphere
    double vertical_speed_fps;    // feet per second, climbing positive
    double airspeed_kt;           // indicated airspeed, knots
    double elapsed_s;             // the simulator's elapsed time
};

// What a line can be refused for.
enum class link_fault : uint8_t {
    none,
    too_long,        // longer than LINK_LINE_MAX
    not_text,        // a control or non-ASCII byte: a binary datagram
    field_count,     // not four fields
    not_a_number,    // a field that is no decimal number
    not_finite,      // NaN or an infinity
    out_of_range,    // a number no flight gives (see the limits in link_line.cpp)
    time_going_back,  // elapsed time a little behind the line before: an old datagram
    wrong_length,     // a binary packet whose length is not its form's
    wrong_header,     // a binary packet of another kind
    unknown_index,    // a binary packet's value for nothing the link asked for
};
constexpr int LINK_FAULT_KINDS = 11;

// "too long", "not text", ...
const char* link_fault_name(link_fault fault);

// Reads one line (without its line end; a trailing CR is allowed).
link_fault read_link_line(std::string_view line, link_values& out);

// The same limits for values that came another way (a binary packet):
// not_finite, out_of_range or none.
link_fault check_link_values(const link_values& values);

// The line read_link_line reads back as values (to within its decimals):
// what a recording of a live link holds, one a line.
struct link_line_text {
    char text[LINK_LINE_MAX + 1];
};
link_line_text format_link_line(const link_values& values);
