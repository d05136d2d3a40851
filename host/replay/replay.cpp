// The scenario executor: reads commands line by line and runs each against the
// instrument, the shared pass and the replay's host.
#include "host/replay/replay.h"

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/state.h"
#include "gfx/lcd.h"
#include "host/pass.h"
#include "host/replay/escape.h"
#include "host/replay/fields.h"
#include "host/lcd_png.h"
#include "host/replay/replay_host.h"
#include "screens/framework.h"
#include "screens/screens.h"

const char replay_usage[] =
    "usage: ktr7-replay [SCENARIO]\n"
    "\n"
    "Runs the KTR-7 instrument without a window, driven by the commands in\n"
    "SCENARIO, or in standard input when SCENARIO is absent or \"-\". It starts\n"
    "as the simulator does: every field zero, the instrument off, the altitude\n"
    "sensor check box checked, the main display as the current screen.\n"
    "\n"
    "One command per line; '#' starts a comment; blank lines are skipped.\n"
    "  on                          switch on (factory settings); passes may run\n"
    "  off                         switch off\n"
    "  key left|right|push|cw|ccw  post a key (lost while one is pending)\n"
    "  altitude N                  altitude slider, 0..65535\n"
    "  vsi N                       vertical speed slider, -6000..6000\n"
    "  asi N                       airspeed converter slider, 0..4096\n"
    "  sensor ok|fault             altitude sensor check box\n"
    "  tick [N]                    N timer ticks of 100 ms (default 1)\n"
    "  pass [N]                    N passes of the run loop (default 1); only while on\n"
    "  wait N                      N times one tick, then one pass; only while on\n"
    "  print NAME ...              one line NAME=VALUE per name: any state field,\n"
    "                              lamp, current_screen, return_screen\n"
    "  png FILE [SCALE]            the LCD as an indexed PNG, SCALE 1..8 (default 1)\n"
    "  dump FILE                   the LCD buffer's 20480 bytes, row-major\n"
    "\n"
    "Each encoder sentence a pass sends is written as \"serial LINE\", bytes\n"
    "outside 0x20..0x7E and the backslash as \\xHH.\n"
    "\n"
    "Exit status: 0 when every line ran; 2 on the first bad line, after a\n"
    "\"ktr7-replay: line N: ...\" message on standard error.\n";

namespace {

constexpr long long COUNT_MAX = 1000000000;
replay_limits limits = {true, COUNT_MAX};
// Words shown in messages are cut to this length, file names to QUOTED_MAX.
constexpr size_t WORD_SHOWN = 64;
constexpr size_t QUOTED_MAX = 1024;

struct session_state {
    bool running = false;
};

session_state session;

// The words of one line, taken one at a time.
struct words {
    const char* cursor;
    const char* end;

    static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

    bool next(std::string_view& word)
    {
        while (cursor < end && blank(*cursor))
            cursor++;
        if (cursor == end)
            return false;
        const char* start = cursor;
        while (cursor < end && !blank(*cursor))
            cursor++;
        word = std::string_view(start, size_t(cursor - start));
        return true;
    }
};

// A command's failure: the message for the current line.
struct failure {
    char text[escaped_capacity(QUOTED_MAX) + 256];
};

[[gnu::format(printf, 2, 3)]] bool fail(failure& f, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(f.text, sizeof f.text, format, args);
    va_end(args);
    return false;
}

// A word as it may appear inside a message: escaped, and cut to a sane
// length unless it is a file name (cut only at QUOTED_MAX).
struct quoted {
    char text[escaped_capacity(QUOTED_MAX)];
    explicit quoted(std::string_view word, size_t limit = WORD_SHOWN)
    {
        escape_bytes(word.data(), word.size() < limit ? word.size() : limit, text, sizeof text);
    }
};

struct quoted_path : quoted {
    explicit quoted_path(std::string_view word) : quoted(word, QUOTED_MAX) {}
};

// A word as a C string, for file names.
struct c_word {
    char text[4096];
    bool fits;
    explicit c_word(std::string_view word) : fits(word.size() < sizeof text && word.find('\0') == word.npos)
    {
        size_t n = fits ? word.size() : 0;
        memcpy(text, word.data(), n);
        text[n] = '\0';
    }
};

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

bool no_more(const char* command, words& line, failure& f)
{
    std::string_view extra;
    if (line.next(extra))
        return fail(f, "%s: extra argument \"%s\"", command, quoted(extra).text);
    return true;
}

// A required number in low..high.
bool number_argument(const char* command, const char* what, words& line, long long low, long long high,
                     long long& value, failure& f)
{
    std::string_view word;
    if (!line.next(word))
        return fail(f, "%s: missing %s (%lld..%lld)", command, what, low, high);
    switch (parse_number(word, low, high, value)) {
    case number_result::malformed:
        return fail(f, "%s: malformed number \"%s\"", command, quoted(word).text);
    case number_result::out_of_range:
        return fail(f, "%s: %s %s outside %lld..%lld", command, what, quoted(word).text, low, high);
    case number_result::ok:
        break;
    }
    return no_more(command, line, f);
}

// An optional count, 1 when absent.
bool count_argument(const char* command, words& line, long long& count, failure& f)
{
    words peek = line;
    std::string_view word;
    if (!peek.next(word)) {
        count = 1;
        return true;
    }
    return number_argument(command, "count", line, 0, limits.max_count, count, f);
}

bool require_running(const char* command, failure& f)
{
    if (!session.running)
        return fail(f, "%s: the instrument is off (switch it on with \"on\")", command);
    return true;
}

bool run_key(words& line, failure& f)
{
    static const struct {
        const char* name;
        uint8_t code;
    } keys[] = {{"left", KEY_LEFT}, {"right", KEY_RIGHT}, {"push", KEY_PUSH}, {"cw", KEY_CW}, {"ccw", KEY_CCW}};
    std::string_view word;
    if (!line.next(word))
        return fail(f, "key: missing key (left, right, push, cw, ccw)");
    for (const auto& k : keys)
        if (word == k.name) {
            if (!no_more("key", line, f))
                return false;
            host_post_key(k.code);
            return true;
        }
    return fail(f, "key: unknown key \"%s\" (left, right, push, cw, ccw)", quoted(word).text);
}

bool run_sensor(words& line, failure& f)
{
    std::string_view word;
    if (!line.next(word))
        return fail(f, "sensor: missing state (ok, fault)");
    if (word != "ok" && word != "fault")
        return fail(f, "sensor: unknown state \"%s\" (ok, fault)", quoted(word).text);
    if (!no_more("sensor", line, f))
        return false;
    replay_set_sensor_checked(word == "ok");
    return true;
}

bool run_print(words& line, FILE* out, failure& f)
{
    // Every name is checked before the first is printed, so a bad line
    // prints nothing.
    words names = line;
    std::string_view word;
    bool any = false;
    while (names.next(word)) {
        any = true;
        if (find_field(word) == nullptr)
            return fail(f, "print: unknown name \"%s\"", quoted(word).text);
    }
    if (!any)
        return fail(f, "print: missing name");
    char value[FIELD_VALUE_CAPACITY];
    while (line.next(word)) {
        const field_entry* field = find_field(word);
        format_field(*field, value);
        fprintf(out, "%s=%s\n", field->name, value);
    }
    return true;
}

bool file_argument(const char* command, words& line, std::string_view& path, failure& f)
{
    if (!line.next(path))
        return fail(f, "%s: missing file name", command);
    if (!c_word(path).fits)
        return fail(f, "%s: unusable file name \"%s\"", command, quoted_path(path).text);
    return true;
}

bool run_png(words& line, failure& f)
{
    std::string_view path;
    if (!file_argument("png", line, path, f))
        return false;
    long long scale = 1;
    words peek = line;
    std::string_view word;
    if (peek.next(word) && !number_argument("png", "scale", line, PNG_SCALE_MIN, PNG_SCALE_MAX, scale, f))
        return false;
    if (!limits.write_files)
        return true;
    c_word name(path);
    char why[160];
    if (!write_lcd_png(name.text, int(scale), why, sizeof why))
        return fail(f, "png: cannot write \"%s\": %s", quoted_path(path).text, why);
    return true;
}

bool run_dump(words& line, failure& f)
{
    std::string_view path;
    if (!file_argument("dump", line, path, f) || !no_more("dump", line, f))
        return false;
    if (!limits.write_files)
        return true;
    c_word name(path);
    char why[160];
    if (!write_lcd_dump(name.text, why, sizeof why))
        return fail(f, "dump: cannot write \"%s\": %s", quoted_path(path).text, why);
    return true;
}

bool run_slider(const char* command, words& line, long long low, long long high, void (*set)(int32_t),
                failure& f)
{
    long long value;
    if (!number_argument(command, "value", line, low, high, value, f))
        return false;
    set(int32_t(value));
    return true;
}

// Runs one line; false with f set when the line is bad.
bool run_line(std::string_view text, FILE* out, failure& f)
{
    size_t comment = text.find('#');
    if (comment != text.npos)
        text = text.substr(0, comment);
    words line{text.data(), text.data() + text.size()};
    std::string_view command;
    if (!line.next(command))
        return true;

    long long count;
    if (command == "on") {
        if (!no_more("on", line, f))
            return false;
        host_switch_on();
        session.running = true;
    } else if (command == "off") {
        if (!no_more("off", line, f))
            return false;
        st.stop_requested = 1;
        session.running = false;
    } else if (command == "key") {
        return run_key(line, f);
    } else if (command == "altitude") {
        return run_slider("altitude", line, 0, 65535, host_set_altitude, f);
    } else if (command == "vsi") {
        return run_slider("vsi", line, -6000, 6000, host_set_vertical_speed, f);
    } else if (command == "asi") {
        return run_slider("asi", line, 0, 4096, host_set_asi_adc, f);
    } else if (command == "sensor") {
        return run_sensor(line, f);
    } else if (command == "tick") {
        if (!count_argument("tick", line, count, f))
            return false;
        for (long long i = 0; i < count; i++)
            host_timer_tick();
    } else if (command == "pass") {
        if (!count_argument("pass", line, count, f) || !require_running("pass", f))
            return false;
        for (long long i = 0; i < count; i++)
            run_pass(replay_io);
    } else if (command == "wait") {
        if (!number_argument("wait", "count", line, 0, limits.max_count, count, f) || !require_running("wait", f))
            return false;
        for (long long i = 0; i < count; i++) {
            host_timer_tick();
            run_pass(replay_io);
        }
    } else if (command == "print") {
        return run_print(line, out, f);
    } else if (command == "png") {
        return run_png(line, f);
    } else if (command == "dump") {
        return run_dump(line, f);
    } else {
        return fail(f, "unknown command \"%s\"", quoted(command).text);
    }
    return true;
}

int report(FILE* out, FILE* err, long line_number, const failure& f)
{
    fflush(out);
    fprintf(err, "ktr7-replay: line %ld: %s\n", line_number, f.text);
    fflush(err);
    return REPLAY_FAILED;
}

}  // namespace

const replay_limits REPLAY_DEFAULT_LIMITS = {true, COUNT_MAX};

void replay_set_limits(const replay_limits& new_limits)
{
    limits = new_limits;
}

void replay_reset()
{
    st = instrument_state{};
    memset(lcd_buffer, 0, sizeof lcd_buffer);
    st.current_screen = screen_main;
    session = session_state{};
    replay_host_reset();
}

int replay_execute(FILE* in, const char* in_name, FILE* out, FILE* err)
{
    replay_host_set_output(out);
    char* buffer = nullptr;
    size_t capacity = 0;
    long line_number = 0;
    int result = REPLAY_OK;
    for (;;) {
        errno = 0;
        ssize_t length = getline(&buffer, &capacity, in);
        if (length < 0) {
            if (ferror(in)) {
                fflush(out);
                fprintf(err, "ktr7-replay: %s: cannot read: %s\n", in_name, strerror(errno ? errno : EIO));
                result = REPLAY_FAILED;
            }
            break;
        }
        line_number++;
        if (length > 0 && buffer[length - 1] == '\n')
            length--;
        failure f;
        if (!run_line(std::string_view(buffer, size_t(length)), out, f)) {
            result = report(out, err, line_number, f);
            break;
        }
    }
    free(buffer);
    fflush(out);
    replay_host_set_output(nullptr);
    return result;
}

int replay_execute_text(std::string_view script, FILE* out, FILE* err)
{
    replay_host_set_output(out);
    long line_number = 0;
    int result = REPLAY_OK;
    while (!script.empty()) {
        size_t end = script.find('\n');
        std::string_view text = script.substr(0, end);
        script = end == script.npos ? std::string_view() : script.substr(end + 1);
        line_number++;
        failure f;
        if (!run_line(text, out, f)) {
            result = report(out, err, line_number, f);
            break;
        }
    }
    fflush(out);
    replay_host_set_output(nullptr);
    return result;
}

int replay_run(FILE* in, const char* in_name, FILE* out, FILE* err)
{
    replay_reset();
    return replay_execute(in, in_name, out, err);
}

int replay_run_text(std::string_view script, FILE* out, FILE* err)
{
    replay_reset();
    return replay_execute_text(script, out, err);
}
