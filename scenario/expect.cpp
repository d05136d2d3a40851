#include "scenario/expect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/state.h"
#include "gfx/text_log.h"
#include "host/pass.h"
#include "scenario/escape.h"
#include "scenario/fields.h"
#include "scenario/lcd_text.h"

namespace {

// The expected text in the form print shows: unescaped, then escaped again.
void normalised(std::string_view text, char* out, size_t cap)
{
    static char bytes[QUOTED_MAX + 1];
    const size_t n = unescape_bytes(text.substr(0, QUOTED_MAX), bytes, sizeof bytes);
    escape_bytes(bytes, n, out, cap);
}

// Room that a failure's list of the LCD's strings leaves for its last words.
constexpr size_t TEXT_LIST_TAIL = 64;

// expect text: the text is one string on the LCD, or a run of strings that
// follow one another in reading order, read with one blank between them
// (the main menu's "ALT" over "SETUP" says "ALT SETUP"); the blanks around
// each string draw nothing and do not count. With a position, the first
// string of the run starts at the command's x and y.
bool check_text(const scenario_command& c, char* report, size_t cap)
{
    static char bytes[QUOTED_MAX + 1];
    const size_t n = unescape_bytes(c.text.substr(0, QUOTED_MAX), bytes, sizeof bytes);
    const std::string_view wanted = trimmed_text(std::string_view(bytes, n));
    const bool anywhere = c.number == TEXT_ANYWHERE;
    std::vector<const drawn_text*> inked;
    for (const drawn_text* t : texts_in_reading_order(lcd_text_log))
        if (!trimmed_text(t->text).empty())
            inked.push_back(t);
    std::string drawn_at;
    for (size_t first = 0; first < inked.size(); first++) {
        std::string run;
        for (size_t last = first; last < inked.size() && run.size() < wanted.size(); last++) {
            run += (last == first ? "" : " ") + std::string(trimmed_text(inked[last]->text));
            if (run != wanted)
                continue;
            const drawn_text& t = *inked[first];
            if (anywhere || (t.start_x == c.number && t.y == c.high))
                return true;
            drawn_at += (drawn_at.empty() ? "" : " and ") + std::to_string(t.start_x) + " " + std::to_string(t.y);
        }
    }
    std::string message = "expected text " + quoted_text(wanted);
    if (!anywhere)
        message += " at " + std::to_string(c.number) + " " + std::to_string(c.high);
    if (!drawn_at.empty()) {
        snprintf(report, cap, "%s, drawn at %s", message.c_str(), drawn_at.c_str());
        return false;
    }
    message += ", not on the LCD, which shows ";
    if (inked.empty())
        message += "no text";
    for (size_t i = 0; i < inked.size(); i++) {
        const std::string shown = quoted_text(trimmed_text(inked[i]->text));
        if (message.size() + shown.size() + TEXT_LIST_TAIL > cap) {
            message += "...";
            break;
        }
        message += (i == 0 ? "" : ", ") + shown;
    }
    if (lcd_text_log.dropped > 0)
        message += " (and " + std::to_string(lcd_text_log.dropped) + " strings more than the log keeps)";
    snprintf(report, cap, "%s", message.c_str());
    return false;
}

}  // namespace

bool check_expectation(const scenario_command& c, char* report, size_t cap)
{
    static char expected[escaped_capacity(QUOTED_MAX)];
    static char got[FIELD_VALUE_CAPACITY];
    switch (c.op) {
    case scenario_op::expect_serial: {
        normalised(c.text, expected, sizeof expected);
        const char* sentence = newest_sentence();
        if (sentence[0] == '\0') {
            snprintf(report, cap, "expected serial=%s, got none (no sentence sent since on)", expected);
            return false;
        }
        escape_bytes(sentence, strlen(sentence), got, sizeof got);
        if (strcmp(expected, got) == 0)
            return true;
        snprintf(report, cap, "expected serial=%s, got %s", expected, got);
        return false;
    }
    case scenario_op::expect_value: {
        const field_entry* field = find_field(c.name);
        format_field(*field, got);
        normalised(c.text, expected, sizeof expected);
        if (strcmp(expected, got) == 0)
            return true;
        snprintf(report, cap, "expected %s=%s, got %s", field->name, expected, got);
        return false;
    }
    case scenario_op::expect_range: {
        const field_entry* field = find_field(c.name);
        format_field(*field, got);
        const long long value = strtoll(got, nullptr, 10);
        if (value >= c.number && value <= c.high)
            return true;
        snprintf(report, cap, "expected %s=%lld..%lld, got %s", field->name, c.number, c.high, got);
        return false;
    }
    case scenario_op::expect_text: return check_text(c, report, cap);
    default:
        snprintf(report, cap, "not an expectation of a value");
        return false;
    }
}
