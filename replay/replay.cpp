// The scenario executor: reads commands line by line and runs each against the
// instrument, the shared pass and the replay's host.
#include "replay/replay.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "files/scenario_files.h"
#include "scenario/escape.h"
#include "session/scenario_executor.h"
#include "session/session.h"

const char replay_usage[] =
    "usage: ktr7-replay [--update] [SCENARIO]\n"
    "       ktr7-replay --flight FILE [--csv TRACE] [--report PAGE]\n"
    "                   [--gif ANIMATION [--gif-every N] [--gif-scale S]]\n"
    "       ktr7-replay --link LINES\n"
    "       ktr7-replay --help | --version\n"
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
    "  expect NAME VALUE           the field must print exactly VALUE\n"
    "  expect NAME MIN..MAX        an integer field must lie in MIN..MAX\n"
    "  expect serial TEXT          the latest sentence since \"on\", escaped as the\n"
    "                              serial lines print it (write '#' as \\x23)\n"
    "  expect png FILE             the LCD must equal the picture in FILE\n"
    "  expect text TEXT [at X Y]   the LCD must show TEXT: one string, or strings\n"
    "                              in reading order with a blank between; \"TEXT\"\n"
    "                              in quotes or bare, escaped as for serial; at X Y:\n"
    "                              its first string starts at column X, row Y\n"
    "  print text                  the LCD's strings, top to bottom, left to right:\n"
    "                              \"TEXT\" at X Y size SIZE ROLE, one a line\n"
    "  print lcd                   the LCD as text, two rows a line: in colour on\n"
    "                              a terminal (unless NO_COLOR is set), else plain\n"
    "  gif FILE [SCALE]            record the LCD as an animated GIF, one frame a\n"
    "                              tick (100 ms), SCALE 1..8 (default 1)\n"
    "  gif end                     write it (the scenario's end writes it too)\n"
    "  flight FILE                 load a recorded flight (IGC, GPX, or what\n"
    "                              gpsbabel reads: KML, NMEA, FIT, TCX, ...)\n"
    "  fly SECONDS | fly end       play it: ten ticks a second of flight time,\n"
    "                              each with the flight's inputs and a pass\n"
    "\n"
    "Each encoder sentence a pass sends is written as \"serial LINE\", bytes\n"
    "outside 0x20..0x7E, the backslash and '#' as \\xHH. A failed expectation is\n"
    "reported on standard error and the scenario goes on; a scenario with\n"
    "expectations ends its output with \"N passed, M failed\". A picture that\n"
    "differs leaves FILE's stem with .actual.png and .diff.png beside FILE.\n"
    "--update rewrites every expect png reference from the actual picture.\n"
    "\n"
    "--flight FILE plays a recorded flight from switch-on (factory settings)\n"
    "to its last fix and prints what the KTR-7 showed: the flights it detected\n"
    "with take-off and landing times, its flight timer, the highest airspeed,\n"
    "the seconds of overspeed and stall alarm, the lowest and highest altitude.\n"
    "--csv TRACE writes one line per tick: time, the three inputs, airspeed\n"
    "shown, alarm, flight state, encoder altitude. --report PAGE writes the\n"
    "flight's review, one HTML file that opens offline: the summary, plots of\n"
    "the altitude, vertical speed and airspeed shown with the alarms, the LCD\n"
    "at take-off, landing, the highest airspeed and altitude and each alarm,\n"
    "and the settings. --gif ANIMATION records the LCD over the flight as an\n"
    "animated GIF, a frame every N ticks (--gif-every, 1..36000, default 1: at\n"
    "fast speeds every Nth tick keeps the file small), each LCD pixel S x S\n"
    "(--gif-scale, 1..8, default 1). Docs: docs/flights.md.\n"
    "\n"
    "--link LINES plays the flight simulator link's lines (a file, or \"-\" for\n"
    "standard input: PRESSURE_ALT_FT,VS_FPS,IAS_KT,ELAPSED_S a line) as the\n"
    "window would have played them live, and prints what it took and refused\n"
    "and the same summary. Docs: docs/link.md.\n"
    "\n"
    "Exit status: 0 when every line ran and every expectation held; 1 when an\n"
    "expectation failed; 2 on the first bad line, after a \"ktr7-replay: line N:\n"
    "...\" message on standard error, and for a flight that cannot be played.\n"
    "The whole language: docs/scenarios.md, or the manual page ktr7-replay(1).\n";

namespace {

// The replay tool's host: no window; each encoder sentence a pass sends is
// echoed as a "serial" line, escaped so that its carriage return and any
// other control byte stay visible and the output stays one line per sentence.
class replay_display final : public session_display {
public:
    FILE* out = nullptr;

    void show_sentence(const char* line) override
    {
        if (out == nullptr)
            return;
        char escaped[escaped_capacity(SERIAL_LINE_SIZE)];
        escape_bytes(line, strnlen(line, SERIAL_LINE_SIZE), escaped, sizeof escaped);
        fputs("serial ", out);
        fputs(escaped, out);
        fputc('\n', out);
    }
};

// What a run says: print lines on standard output, "ktr7-replay: line N: ..."
// on standard error, each after what came before it on standard output.
class replay_output final : public scenario_output {
public:
    replay_output(FILE* out, FILE* err) : out_(out), err_(err) {}

    void printed(const char* line) override { fprintf(out_, "%s\n", line); }
    void failed(long line, const char* message) override { said(line, message); }
    void warned(long line, const char* message) override { said(line, message); }
    // print lcd in colour only on a terminal, and not where NO_COLOR is set.
    lcd_art_style lcd_style() const override { return lcd_art_style_for(fileno(out_)); }

private:
    void said(long line, const char* message)
    {
        fflush(out_);
        fprintf(err_, "ktr7-replay: line %ld: %s\n", line, message);
        fflush(err_);
    }

    FILE* out_;
    FILE* err_;
};

struct replay_tool {
    instrument_session session;
    replay_display display;
    scenario_files files;
    long long max_count = SCENARIO_COUNT_MAX;
};

replay_tool& tool()
{
    static replay_tool the_tool;
    return the_tool;
}

int exit_status(int scenario_status)
{
    switch (scenario_status) {
    case SCENARIO_OK: return REPLAY_OK;
    case SCENARIO_EXPECTATION_FAILED: return REPLAY_EXPECTATION_FAILED;
    default: return REPLAY_FAILED;
    }
}

// Runs the lines that next_line hands over, one at a time, until it has none.
// A line that cannot be read (unreadable set) ends the run with no tally.
template <class NextLine>
int execute(NextLine next_line, const bool& unreadable, FILE* out, FILE* err)
{
    replay_tool& t = tool();
    t.display.out = out;
    replay_output output(out, err);
    scenario_executor executor(t.session, t.display, t.files, output, scenario_clock::immediate);
    executor.set_count_max(t.max_count);
    executor.begin();
    std::string_view line;
    while (next_line(line) && executor.feed(line)) {
    }
    const int status = unreadable ? REPLAY_FAILED : exit_status(executor.finish().status);
    fflush(out);
    t.display.out = nullptr;
    return status;
}

}  // namespace

const replay_limits REPLAY_DEFAULT_LIMITS = {true, SCENARIO_COUNT_MAX, false};

void replay_set_reference_folder(const char* folder)
{
    tool().files.set_reference_folder(folder != nullptr ? folder : "");
}

void replay_set_limits(const replay_limits& new_limits)
{
    replay_tool& t = tool();
    t.files.set_touch_files(new_limits.write_files);
    t.files.set_update_pictures(new_limits.update_pictures);
    t.max_count = new_limits.max_count;
}

void replay_reset()
{
    tool().session.program_start();
}

instrument_session& replay_session()
{
    return tool().session;
}

session_display& replay_display_of_sentences()
{
    return tool().display;
}

int replay_execute(FILE* in, const char* in_name, FILE* out, FILE* err)
{
    char* buffer = nullptr;
    size_t capacity = 0;
    bool unreadable = false;
    int status = execute(
        [&](std::string_view& line) {
            errno = 0;
            ssize_t length = getline(&buffer, &capacity, in);
            if (length < 0) {
                if (ferror(in)) {
                    fflush(out);
                    fprintf(err, "ktr7-replay: %s: cannot read: %s\n", in_name, strerror(errno ? errno : EIO));
                    unreadable = true;
                }
                return false;
            }
            if (length > 0 && buffer[length - 1] == '\n')
                length--;
            line = std::string_view(buffer, size_t(length));
            return true;
        },
        unreadable, out, err);
    free(buffer);
    return status;
}

int replay_execute_text(std::string_view script, FILE* out, FILE* err)
{
    const bool unreadable = false;
    return execute(
        [&](std::string_view& line) {
            if (script.empty())
                return false;
            const size_t end = script.find('\n');
            line = script.substr(0, end);
            script = end == script.npos ? std::string_view() : script.substr(end + 1);
            return true;
        },
        unreadable, out, err);
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
