#include "scenario/lcd_text.h"

#include <algorithm>
#include <cstdio>

#include "gfx/text.h"
#include "scenario/escape.h"
#include "screens/framework.h"

std::string colour_role(uint8_t colour)
{
    switch (colour) {
    case COLOUR_TEXT: return "text";
    case COLOUR_HIGHLIGHT: return "highlight";
    case COLOUR_CAPTION: return "caption";
    case COLOUR_CAUTION: return "caution";
    case COLOUR_INDICATOR: return "indicator";
    case COLOUR_BACKGROUND: return "background";
    default: return "colour " + std::to_string(colour);
    }
}

const char* alignment_name(uint8_t align)
{
    switch (align) {
    case ALIGN_LEFT: return "left";
    case ALIGN_RIGHT: return "right";
    default: return "centre";
    }
}

std::vector<const drawn_text*> texts_in_reading_order(const text_log& log)
{
    std::vector<const drawn_text*> texts;
    for (int i = 0; i < log.count; i++)
        texts.push_back(&log.entries[i]);
    std::stable_sort(texts.begin(), texts.end(), [](const drawn_text* a, const drawn_text* b) {
        return a->y != b->y ? a->y < b->y : a->start_x < b->start_x;
    });
    return texts;
}

std::string quoted_text(std::string_view text)
{
    std::vector<char> escaped(escaped_capacity(text.size()));
    const size_t n = escape_bytes(text.data(), text.size(), escaped.data(), escaped.size());
    std::string out = "\"";
    for (size_t i = 0; i < n; i++)
        out += escaped[i] == '"' ? std::string("\\x22") : std::string(1, escaped[i]);
    return out + "\"";
}

std::string text_line(const drawn_text& text)
{
    char place[64];
    snprintf(place, sizeof place, " at %u %u size %u ", unsigned(text.start_x), unsigned(text.y),
             unsigned(text.size));
    return quoted_text(text.text) + place + colour_role(text.colour);
}

std::string_view trimmed_text(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == text.npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
