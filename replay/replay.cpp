// The scenario executor: reads commands line by line and runs each against the
// instrument, the shared pass and the replay's host.
#include "replay/replay.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <memory>
#include <string>

#include "core/state.h"
#include "flight/flight_file.h"
#include "flight/flight_player.h"
#include "gfx/lcd.h"
#include "picture/lcd_png.h"
#include "picture/lcd_png_compare.h"
#include "host/pass.h"
#include "scenario/fields.h"
#include "replay/replay_host.h"
#include "scenario/expect.h"
#include "scenario/scenario_parse.h"
#include "screens/framework.h"
#include "screens/screens.h"

const char replay_usage[] =
    "usage: ktr7-replay [--update] [SCENARIO]\n"
    "       ktr7-replay --flight FILE [--csv TRACE]\n"
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
    "shown, alarm, flight state, encoder altitude. Docs: docs/flights.md.\n"
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

replay_limits limits = {true, SCENARIO_COUNT_MAX, false};
char reference_folder[SCENARIO_PATH_MAX + 1];

struct session_state {
    bool running = false;
    expect_tally tally;
    // The flight "flight" loaded and "fly" plays (the player points into it).
    std::unique_ptr<flight> recorded;
    std::unique_ptr<flight_player> player;
};

session_state session;

// A line that ran but whose expectation did not hold: reported on err, and
// the scenario goes on.
void expectation_failed(FILE* out, FILE* err, long line_number, const char* report)
{
    fflush(out);
    fprintf(err, "ktr7-replay: line %ld: %s\n", line_number, report);
    fflush(err);
    session.tally.failed++;
}

bool run_png(const scenario_command& c, scenario_failure& f)
{
    if (!limits.write_files)
        return true;
    const c_word name(c.text);
    char why[160];
    if (!write_lcd_png(name.text, int(c.number), why, sizeof why))
        return scenario_fail(f, "png: cannot write \"%s\": %s", quoted_path(c.text).text, why);
    return true;
}

bool run_dump(const scenario_command& c, scenario_failure& f)
{
    if (!limits.write_files)
        return true;
    const c_word name(c.text);
    char why[160];
    if (!write_lcd_dump(name.text, why, sizeof why))
        return scenario_fail(f, "dump: cannot write \"%s\": %s", quoted_path(c.text).text, why);
    return true;
}

// expect png: a reference that cannot be used is bad input; a picture that
// differs is a failed expectation. With --update the reference is rewritten
// from the LCD instead (at its own scale when it has one, else 1).
bool run_expect_png(const scenario_command& c, FILE* out, FILE* err, long line_number, scenario_failure& f)
{
    if (!limits.write_files)
        return true;
    static char resolved[2 * SCENARIO_PATH_MAX + 2];
    const c_word written(c.text);
    const c_word name(reference_path(reference_folder, written.text, resolved, sizeof resolved));
    char report[EXPECT_REPORT_CAPACITY];
    if (limits.update_pictures) {
        picture_comparison same;
        const bool readable = compare_with_png(lcd_buffer, name.text, same, report, sizeof report);
        if (readable && same.differing == 0) {
            session.tally.passed++;
            return true;
        }
        if (!write_lcd_png(name.text, readable ? same.scale : PNG_SCALE_MIN, report, sizeof report))
            return scenario_fail(f, "expect png: cannot write \"%s\": %s", quoted_path(c.text).text, report);
        fprintf(out, "updated %s\n", name.text);
        session.tally.passed++;
        return true;
    }
    const int result = check_lcd_against_png(lcd_buffer, name.text, report, sizeof report);
    if (result == 1) {
        session.tally.passed++;
        return true;
    }
    if (result < 0)
        return scenario_fail(f, "expect png: reference \"%s\": %s", quoted_path(c.text).text, report);
    expectation_failed(out, err, line_number, report);
    return true;
}

// flight: a flight file, relative to the scenario's folder as reference
// pictures are. Its skipped records are one warning; the scenario goes on.
bool run_flight(const scenario_command& c, FILE* out, FILE* err, long line_number, scenario_failure& f)
{
    if (!limits.write_files)
        return true;
    static char resolved[2 * SCENARIO_PATH_MAX + 2];
    const c_word written(c.text);
    const char* path = reference_path(reference_folder, written.text, resolved, sizeof resolved);
    auto recorded = std::make_unique<flight>();
    std::string error, warning;
    session.player.reset();
    session.recorded.reset();
    if (!read_flight_file(path, *recorded, error, warning))
        return scenario_fail(f, "flight: %s", error.c_str());
    if (!warning.empty()) {
        fflush(out);
        fprintf(err, "ktr7-replay: line %ld: warning: %s\n", line_number, warning.c_str());
        fflush(err);
    }
    session.recorded = std::move(recorded);
    session.player = std::make_unique<flight_player>(*session.recorded);
    return true;
}

// fly: ten ticks a second of flight time, each with its inputs and a pass.
bool run_fly(const scenario_command& c, scenario_failure& f)
{
    if (!scenario_needs_on(session.running, "fly", f))
        return false;
    if (!session.player)
        return scenario_fail(f, "fly: no flight loaded (load one with \"flight FILE\")");
    flight_player& player = *session.player;
    player.fly(c.number == FLY_TO_END ? player.ticks_left() : c.number * FLIGHT_TICKS_PER_SECOND, replay_io);
    return true;
}

// Runs one line; false with f set when the line is bad.
bool run_line(std::string_view text, FILE* out, FILE* err, long line_number, scenario_failure& f)
{
    scenario_command c;
    if (!parse_scenario_line(text, c, f, limits.max_count))
        return false;
    switch (c.op) {
    case scenario_op::none: break;
    case scenario_op::on:
        host_switch_on();
        session.running = true;
        break;
    case scenario_op::off:
        host_switch_off();
        session.running = false;
        break;
    case scenario_op::key: host_post_key(uint8_t(c.number)); break;
    case scenario_op::input: host_set_input(c.input, int32_t(c.number)); break;
    case scenario_op::sensor: replay_set_sensor_checked(c.number != 0); break;
    case scenario_op::tick:
        for (long long i = 0; i < c.number; i++)
            host_timer_tick();
        break;
    case scenario_op::pass:
        if (!scenario_needs_on(session.running, "pass", f))
            return false;
        for (long long i = 0; i < c.number; i++)
            run_pass(replay_io);
        break;
    case scenario_op::wait:
        if (!scenario_needs_on(session.running, "wait", f))
            return false;
        for (long long i = 0; i < c.number; i++) {
            host_timer_tick();
            run_pass(replay_io);
        }
        break;
    case scenario_op::print:
        print_fields(
            c.text, [](const char* printed, void* stream) { fprintf(static_cast<FILE*>(stream), "%s\n", printed); },
            out);
        break;
    case scenario_op::png: return run_png(c, f);
    case scenario_op::dump: return run_dump(c, f);
    case scenario_op::expect_value:
    case scenario_op::expect_range:
    case scenario_op::expect_serial: {
        char report[EXPECT_REPORT_CAPACITY];
        if (check_expectation(c, report, sizeof report))
            session.tally.passed++;
        else
            expectation_failed(out, err, line_number, report);
        break;
    }
    case scenario_op::expect_png: return run_expect_png(c, out, err, line_number, f);
    case scenario_op::flight: return run_flight(c, out, err, line_number, f);
    case scenario_op::fly: return run_fly(c, f);
    }
    return true;
}

int report(FILE* out, FILE* err, long line_number, const scenario_failure& f)
{
    fflush(out);
    fprintf(err, "ktr7-replay: line %ld: %s\n", line_number, f.text);
    fflush(err);
    return REPLAY_FAILED;
}

// The closing line and status of a run that read to its end.
int finish(FILE* out)
{
    if (!session.tally.any())
        return REPLAY_OK;
    fprintf(out, "%ld passed, %ld failed\n", session.tally.passed, session.tally.failed);
    return session.tally.failed > 0 ? REPLAY_EXPECTATION_FAILED : REPLAY_OK;
}

}  // namespace

const replay_limits REPLAY_DEFAULT_LIMITS = {true, SCENARIO_COUNT_MAX, false};

void replay_set_reference_folder(const char* folder)
{
    snprintf(reference_folder, sizeof reference_folder, "%s", folder != nullptr ? folder : "");
}

void replay_set_limits(const replay_limits& new_limits)
{
    limits = new_limits;
}

void replay_reset()
{
    host_program_start();
    session = session_state{};
    replay_host_reset();
}

int replay_execute(FILE* in, const char* in_name, FILE* out, FILE* err)
{
    replay_host_set_output(out);
    session.tally = expect_tally{};
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
        scenario_failure f;
        if (!run_line(std::string_view(buffer, size_t(length)), out, err, line_number, f)) {
            result = report(out, err, line_number, f);
            break;
        }
    }
    free(buffer);
    if (result == REPLAY_OK)
        result = finish(out);
    fflush(out);
    replay_host_set_output(nullptr);
    return result;
}

int replay_execute_text(std::string_view script, FILE* out, FILE* err)
{
    replay_host_set_output(out);
    session.tally = expect_tally{};
    long line_number = 0;
    int result = REPLAY_OK;
    while (!script.empty()) {
        size_t end = script.find('\n');
        std::string_view text = script.substr(0, end);
        script = end == script.npos ? std::string_view() : script.substr(end + 1);
        line_number++;
        scenario_failure f;
        if (!run_line(text, out, err, line_number, f)) {
            result = report(out, err, line_number, f);
            break;
        }
    }
    if (result == REPLAY_OK)
        result = finish(out);
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
