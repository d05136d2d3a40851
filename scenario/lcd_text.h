// What the LCD says, read from the text renderer's log (gfx/text_log.h):
// its strings in reading order, as "print text" shows them and "expect text"
// looks for them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/text_log.h"

// The part a colour plays on the screens: "text", "highlight", "caption",
// "caution", "indicator", "background"; "colour N" for any other index.
std::string colour_role(uint8_t colour);

// The log's strings top to bottom (by y), and left to right (by start_x)
// within a row; calls that drew the same row and start keep their order.
std::vector<const drawn_text*> texts_in_reading_order(const text_log& log);

// How a string was placed on its x: "left", "right" or "centre" (every
// other value centres).
const char* alignment_name(uint8_t align);

// A string as print text shows it and expect text takes it: in double
// quotes, escaped as print escapes values, and a quote inside as \x22.
std::string quoted_text(std::string_view text);

// The line of print text for one string:
// "TEXT" at START_X Y size SIZE ROLE.
std::string text_line(const drawn_text& text);

// A string's words without the blanks around them, which draw no ink: what
// "expect text" compares.
std::string_view trimmed_text(std::string_view text);
