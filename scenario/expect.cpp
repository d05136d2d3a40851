#include "scenario/expect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/state.h"
#include "host/pass.h"
#include "scenario/fields.h"

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes an escaped text stands for: \xHH is one byte, anything else is
// itself. So a '#', which would start a comment, can be written \x23.
size_t unescape(std::string_view text, char* out, size_t cap)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < cap; i++) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hex_digit(text[i + 2]) >= 0 &&
            hex_digit(text[i + 3]) >= 0) {
            out[n++] = char(hex_digit(text[i + 2]) * 16 + hex_digit(text[i + 3]));
            i += 3;
        } else {
            out[n++] = text[i];
        }
    }
    out[n] = '\0';
    return n;
}

// The expected text in the form print shows: unescaped, then escaped again.
void normalised(std::string_view text, char* out, size_t cap)
{
    static char bytes[QUOTED_MAX + 1];
    const size_t n = unescape(text.substr(0, QUOTED_MAX), bytes, sizeof bytes);
    escape_bytes(bytes, n, out, cap);
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
    default:
        snprintf(report, cap, "not an expectation of a value");
        return false;
    }
}
