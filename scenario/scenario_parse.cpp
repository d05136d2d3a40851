#include "scenario/scenario_parse.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host/picture_scale.h"
#include "host/time_base.h"
#include "scenario/fields.h"
#include "scenario/scenario_text.h"
#include "screens/framework.h"

namespace {

// The largest start column or row "expect text" takes (the text renderer's
// coordinates are unsigned 16-bit).
constexpr int TEXT_POSITION_MAX = 65535;

enum class number_result { ok, malformed, out_of_range };

number_result parse_number(std::string_view word, long long low, long long high, long long& value)
{
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (first < last && *first == '+' && first + 1 < last && first[1] != '-')
        first++;
    auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::invalid_argument || end != last || first == last)
        return number_result::malformed;
    if (error == std::errc::result_out_of_range || value < low || value > high)
        return number_result::out_of_range;
    return number_result::ok;
}

bool no_more(const char* command, scenario_words& line, scenario_failure& f)
{
    std::string_view extra;
    if (line.next(extra))
        return scenario_fail(f, "%s: extra argument \"%s\"", command, quoted(extra).text);
    return true;
}

// A number in low..high taken from word.
bool number_word(const char* command, const char* what, std::string_view word, long long low, long long high,
                 long long& value, scenario_failure& f)
{
    switch (parse_number(word, low, high, value)) {
    case number_result::malformed:
        return scenario_fail(f, "%s: malformed number \"%s\"", command, quoted(word).text);
    case number_result::out_of_range:
        return scenario_fail(f, "%s: %s %s outside %lld..%lld", command, what, quoted(word).text, low, high);
    case number_result::ok:
        break;
    }
    return true;
}

// A required number in low..high, and nothing after it.
bool number_argument(const char* command, const char* what, scenario_words& line, long long low, long long high,
                     long long& value, scenario_failure& f)
{
    std::string_view word;
    if (!line.next(word))
        return scenario_fail(f, "%s: missing %s (%lld..%lld)", command, what, low, high);
    return number_word(command, what, word, low, high, value, f) && no_more(command, line, f);
}

// An optional count, 1 when absent.
bool count_argument(const char* command, scenario_words& line, long long count_max, long long& count,
                    scenario_failure& f)
{
    scenario_words peek = line;
    std::string_view word;
    if (!peek.next(word)) {
        count = 1;
        return true;
    }
    return number_argument(command, "count", line, 0, count_max, count, f);
}

// The key words of "key", as a scenario reads and a recording writes them.
const struct {
    const char* name;
    uint8_t code;
} KEY_WORDS[] = {{"left", KEY_LEFT}, {"right", KEY_RIGHT}, {"push", KEY_PUSH}, {"cw", KEY_CW}, {"ccw", KEY_CCW}};

bool parse_key(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    std::string_view word;
    if (!line.next(word))
        return scenario_fail(f, "key: missing key (left, right, push, cw, ccw)");
    for (const auto& k : KEY_WORDS)
        if (word == k.name) {
            c.number = k.code;
            return no_more("key", line, f);
        }
    return scenario_fail(f, "key: unknown key \"%s\" (left, right, push, cw, ccw)", quoted(word).text);
}

bool parse_sensor(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    std::string_view word;
    if (!line.next(word))
        return scenario_fail(f, "sensor: missing state (ok, fault)");
    if (word != "ok" && word != "fault")
        return scenario_fail(f, "sensor: unknown state \"%s\" (ok, fault)", quoted(word).text);
    c.number = word == "ok" ? 1 : 0;
    return no_more("sensor", line, f);
}

bool parse_print(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    scenario_words peek = line;
    std::string_view first;
    if (peek.next(first) && (first == "text" || first == "lcd")) {
        line.next(first);
        c.op = first == "text" ? scenario_op::print_text : scenario_op::print_lcd;
        return no_more(first == "text" ? "print text" : "print lcd", line, f);
    }
    c.text = line.rest();
    std::string_view word;
    bool any = false;
    while (line.next(word)) {
        any = true;
        if (find_field(word) == nullptr)
            return scenario_fail(f, "print: unknown name \"%s\"", quoted(word).text);
    }
    if (!any)
        return scenario_fail(f, "print: missing name");
    return true;
}

bool file_argument(const char* command, scenario_words& line, std::string_view& path, scenario_failure& f)
{
    if (!line.next(path))
        return scenario_fail(f, "%s: missing file name", command);
    if (!c_word(path).fits)
        return scenario_fail(f, "%s: unusable file name \"%s\"", command, quoted_path(path).text);
    return true;
}

bool parse_png(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    if (!file_argument("png", line, c.text, f))
        return false;
    c.number = 1;
    scenario_words peek = line;
    std::string_view word;
    if (peek.next(word))
        return number_argument("png", "scale", line, PNG_SCALE_MIN, PNG_SCALE_MAX, c.number, f);
    return true;
}

// "gif FILE [SCALE]" or "gif end".
bool parse_gif(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    scenario_words peek = line;
    std::string_view word;
    if (peek.next(word) && word == "end") {
        line.next(word);
        c.op = scenario_op::gif_end;
        return no_more("gif end", line, f);
    }
    c.op = scenario_op::gif;
    if (!file_argument("gif", line, c.text, f))
        return false;
    c.number = 1;
    peek = line;
    if (peek.next(word))
        return number_argument("gif", "scale", line, GIF_SCALE_MIN, GIF_SCALE_MAX, c.number, f);
    return true;
}

// "expect text TEXT [at X Y]": TEXT in double quotes, or the rest of the
// line; then X and Y of the string's start. Inside quotes a quote is
// written \x22.
bool parse_expect_text(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    c.op = scenario_op::expect_text;
    c.number = c.high = TEXT_ANYWHERE;
    std::string_view rest = line.rest();
    std::string_view position;
    if (!rest.empty() && rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        if (close == rest.npos)
            return scenario_fail(f, "expect text: missing closing quote");
        c.text = rest.substr(1, close - 1);
        position = rest.substr(close + 1);
    } else {
        // A bare text ends where a trailing "at X Y" begins.
        c.text = rest;
        scenario_words words{rest.data(), rest.data() + rest.size()};
        std::string_view w[3] = {};
        const char* starts[3] = {};
        for (std::string_view word; words.next(word);) {
            w[0] = w[1], w[1] = w[2], w[2] = word;
            starts[0] = starts[1], starts[1] = starts[2], starts[2] = word.data();
        }
        if (w[0] == "at" && starts[0] != rest.data()) {
            position = std::string_view(starts[0], size_t(rest.data() + rest.size() - starts[0]));
            scenario_words text{rest.data(), starts[0]};
            c.text = text.rest();
        }
    }
    if (c.text.find_first_not_of(' ') == c.text.npos)
        return scenario_fail(f, "expect text: missing text");
    scenario_words after{position.data(), position.data() + position.size()};
    std::string_view word;
    if (!after.next(word))
        return true;
    if (word != "at")
        return scenario_fail(f, "expect text: extra argument \"%s\" (a position is \"at X Y\")", quoted(word).text);
    long long x = 0;
    std::string_view x_word;
    if (!after.next(x_word))
        return scenario_fail(f, "expect text: missing x (0..%d)", TEXT_POSITION_MAX);
    if (!number_word("expect text", "x", x_word, 0, TEXT_POSITION_MAX, x, f) ||
        !number_argument("expect text", "y", after, 0, TEXT_POSITION_MAX, c.high, f))
        return false;
    c.number = x;
    return true;
}

bool integer_field(const field_entry& field)
{
    switch (field.kind) {
    case field_kind::u8:
    case field_kind::u16:
    case field_kind::u32:
    case field_kind::i16:
    case field_kind::i32: return field.count == 1;
    default: return false;
    }
}

// "MIN..MAX": true with both numbers set when word has that shape.
bool range_shape(std::string_view word, std::string_view& low, std::string_view& high)
{
    const size_t dots = word.find("..");
    if (dots == word.npos || dots == 0 || dots + 2 >= word.size())
        return false;
    low = word.substr(0, dots);
    high = word.substr(dots + 2);
    const auto numeric = [](std::string_view w) {
        if (!w.empty() && (w[0] == '+' || w[0] == '-'))
            w.remove_prefix(1);
        return !w.empty() && w.find_first_not_of("0123456789") == w.npos;
    };
    return numeric(low) && numeric(high);
}

bool parse_expect(scenario_words& line, scenario_command& c, scenario_failure& f)
{
    std::string_view name;
    if (!line.next(name))
        return scenario_fail(f, "expect: missing name (a field, serial, text or png)");
    c.name = name;
    const std::string_view value = line.rest();
    if (name == "text")
        return parse_expect_text(line, c, f);
    if (name == "png") {
        c.op = scenario_op::expect_png;
        return file_argument("expect png", line, c.text, f) && no_more("expect png", line, f);
    }
    if (value.empty())
        return scenario_fail(f, "expect %s: missing value", quoted(name).text);
    c.text = value;
    if (name == "serial") {
        c.op = scenario_op::expect_serial;
        return true;
    }
    const field_entry* field = find_field(name);
    if (field == nullptr)
        return scenario_fail(f, "expect: unknown name \"%s\"", quoted(name).text);
    std::string_view low, high;
    if (!range_shape(value, low, high)) {
        c.op = scenario_op::expect_value;
        return true;
    }
    if (!integer_field(*field))
        return scenario_fail(f, "expect %s: a range needs an integer field", field->name);
    c.op = scenario_op::expect_range;
    constexpr long long ANY_LOW = -(1LL << 40), ANY_HIGH = 1LL << 40;
    if (!number_word("expect", "minimum", low, ANY_LOW, ANY_HIGH, c.number, f) ||
        !number_word("expect", "maximum", high, ANY_LOW, ANY_HIGH, c.high, f))
        return false;
    if (c.number > c.high)
        return scenario_fail(f, "expect %s: range %lld..%lld has its minimum above its maximum", field->name,
                             c.number, c.high);
    return true;
}

// "fly SECONDS" or "fly end"; the seconds are capped so that their ticks stay
// within the count limit.
bool parse_fly(scenario_words& line, scenario_command& c, long long count_max, scenario_failure& f)
{
    c.op = scenario_op::fly;
    scenario_words peek = line;
    std::string_view word;
    if (peek.next(word) && word == "end") {
        line.next(word);
        c.number = FLY_TO_END;
        return no_more("fly", line, f);
    }
    return number_argument("fly", "seconds", line, 0, count_max / TICKS_PER_SECOND, c.number, f);
}

}  // namespace

const char* scenario_key_word(uint8_t key)
{
    for (const auto& k : KEY_WORDS)
        if (k.code == key)
            return k.name;
    return nullptr;
}

bool scenario_needs_on(bool on, const char* command, scenario_failure& failure)
{
    return on || scenario_fail(failure, "%s: the instrument is off (switch it on with \"on\")", command);
}

bool scenario_fail(scenario_failure& failure, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(failure.text, sizeof failure.text, format, args);
    va_end(args);
    return false;
}

quoted::quoted(std::string_view word, size_t limit)
{
    escape_bytes(word.data(), word.size() < limit ? word.size() : limit, text, sizeof text);
}

c_word::c_word(std::string_view word) : fits(word.size() < sizeof text && word.find('\0') == word.npos)
{
    const size_t n = fits ? word.size() : 0;
    memcpy(text, word.data(), n);
    text[n] = '\0';
}

bool parse_scenario_line(std::string_view text, scenario_command& c, scenario_failure& f, long long count_max)
{
    c = scenario_command{};
    const size_t comment = text.find('#');
    if (comment != text.npos)
        text = text.substr(0, comment);
    scenario_words line{text.data(), text.data() + text.size()};
    std::string_view command;
    if (!line.next(command))
        return true;

    for (const sensor_input_info& input : sensor_inputs())
        if (command == input.word) {
            c.op = scenario_op::input;
            c.input = input.input;
            return number_argument(input.word, "value", line, input.minimum, input.maximum, c.number, f);
        }

    if (command == "on" || command == "off") {
        c.op = command == "on" ? scenario_op::on : scenario_op::off;
        return no_more(command == "on" ? "on" : "off", line, f);
    }
    if (command == "key") {
        c.op = scenario_op::key;
        return parse_key(line, c, f);
    }
    if (command == "sensor") {
        c.op = scenario_op::sensor;
        return parse_sensor(line, c, f);
    }
    if (command == "tick" || command == "pass") {
        c.op = command == "tick" ? scenario_op::tick : scenario_op::pass;
        return count_argument(command == "tick" ? "tick" : "pass", line, count_max, c.number, f);
    }
    if (command == "wait") {
        c.op = scenario_op::wait;
        return number_argument("wait", "count", line, 0, count_max, c.number, f);
    }
    if (command == "print") {
        c.op = scenario_op::print;
        return parse_print(line, c, f);
    }
    if (command == "png") {
        c.op = scenario_op::png;
        return parse_png(line, c, f);
    }
    if (command == "dump") {
        c.op = scenario_op::dump;
        return file_argument("dump", line, c.text, f) && no_more("dump", line, f);
    }
    if (command == "expect")
        return parse_expect(line, c, f);
    if (command == "flight") {
        c.op = scenario_op::flight;
        return file_argument("flight", line, c.text, f) && no_more("flight", line, f);
    }
    if (command == "fly")
        return parse_fly(line, c, count_max, f);
    if (command == "gif")
        return parse_gif(line, c, f);
    return scenario_fail(f, "unknown command \"%s\"", quoted(command).text);
}
