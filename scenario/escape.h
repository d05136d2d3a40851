// Byte escaping for replay output: bytes outside 0x20..0x7E, the backslash
// and '#' become \xHH with two upper-case hex digits. '#' starts a comment in
// a scenario, so escaping it lets every printed value paste back into an
// expect line.
#pragma once
#include <cstddef>
#include <string_view>

// Worst case: four output bytes per input byte, plus the terminator.
constexpr size_t escaped_capacity(size_t length) { return 4 * length + 1; }

// Escapes length bytes of text into out (capacity cap, always terminated;
// truncated at a whole escape if cap is too small). Returns the output length.
size_t escape_bytes(const char* text, size_t length, char* out, size_t cap);

// The bytes an escaped text stands for: \xHH (either case) is one byte,
// anything else is itself. Writes at most cap - 1 bytes and a terminator;
// returns how many.
size_t unescape_bytes(std::string_view text, char* out, size_t cap);
