#include "scenario/scenario_player.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "host/time_base.h"
#include "scenario/fields.h"
#include "scenario/expect.h"
#include "scenario/scenario_parse.h"

namespace {

struct playback {
    bool playing = false;
    std::string script;
    size_t cursor = 0;
    long line = 0;
    bool instrument_on = false;
    long long ticks_to_wait = 0;
    long long passes_to_wait = 0;
    // "wait": after its last tick, the pass that follows it, as in the
    // replay tool, where each tick of a wait is followed by a pass.
    bool pass_after_ticks = false;
    expect_tally tally;
    player_io io{};
};

playback play;

void report_line(bool failed, const char* format, ...) __attribute__((format(printf, 2, 3)));

void report_line(bool failed, const char* format, ...)
{
    char text[EXPECT_REPORT_CAPACITY + 64];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    play.io.report(play.io.context, text, failed);
}

void finish(int status)
{
    play.playing = false;
    if (status != PLAYER_BAD_LINE && play.tally.any())
        report_line(false, "%ld passed, %ld failed", play.tally.passed, play.tally.failed);
    const player_io io = play.io;
    io.finished(io.context, status);
}

void expectation(bool held, const char* report)
{
    if (held) {
        play.tally.passed++;
        return;
    }
    play.tally.failed++;
    report_line(true, "line %ld: %s", play.line, report);
}

bool files_here(const char* command, bool available, scenario_failure& f)
{
    return available || scenario_fail(f, "%s: this host writes and reads no files", command);
}

bool flights_here(const char* command, bool available, scenario_failure& f)
{
    return available || scenario_fail(f, "%s: this host has no flights", command);
}

// "fly": the host plays the ticks, each followed by a pass, while the
// player waits for them.
bool run_fly(const scenario_command& c, scenario_failure& f)
{
    const player_io& io = play.io;
    if (!flights_here("fly", io.fly != nullptr, f) || !scenario_needs_on(play.instrument_on, "fly", f))
        return false;
    char why[256] = "";
    const long long ticks = io.fly(io.context, c.number == FLY_TO_END ? -1 : c.number * TICKS_PER_SECOND, why, sizeof why);
    if (ticks < 0)
        return scenario_fail(f, "fly: %s", why);
    play.ticks_to_wait = ticks;
    play.pass_after_ticks = ticks > 0;
    return true;
}

// Runs one command; false with f set for a bad line.
bool run(const scenario_command& c, scenario_failure& f)
{
    const player_io& io = play.io;
    char why[256];
    switch (c.op) {
    case scenario_op::none: break;
    case scenario_op::on:
        play.instrument_on = true;
        io.switch_on(io.context);
        break;
    case scenario_op::off:
        play.instrument_on = false;
        io.switch_off(io.context);
        break;
    case scenario_op::key: io.post_key(io.context, uint8_t(c.number)); break;
    case scenario_op::input: io.set_input(io.context, c.input, int32_t(c.number)); break;
    case scenario_op::sensor: io.set_sensor(io.context, c.number != 0); break;
    case scenario_op::tick: play.ticks_to_wait = c.number; break;
    case scenario_op::wait:
        if (!scenario_needs_on(play.instrument_on, "wait", f))
            return false;
        play.ticks_to_wait = c.number;
        play.pass_after_ticks = c.number > 0;
        break;
    case scenario_op::pass:
        if (!scenario_needs_on(play.instrument_on, "pass", f))
            return false;
        play.passes_to_wait = c.number;
        break;
    case scenario_op::print:
        print_fields(
            c.text, [](const char* printed, void*) { play.io.report(play.io.context, printed, false); }, nullptr);
        break;
    case scenario_op::png:
        if (!files_here("png", io.write_png != nullptr, f))
            return false;
        if (!io.write_png(io.context, c_word(c.text).text, int(c.number), why, sizeof why))
            return scenario_fail(f, "png: cannot write \"%s\": %s", quoted_path(c.text).text, why);
        break;
    case scenario_op::dump:
        if (!files_here("dump", io.write_dump != nullptr, f))
            return false;
        if (!io.write_dump(io.context, c_word(c.text).text, why, sizeof why))
            return scenario_fail(f, "dump: cannot write \"%s\": %s", quoted_path(c.text).text, why);
        break;
    case scenario_op::expect_value:
    case scenario_op::expect_range:
    case scenario_op::expect_serial: {
        char report[EXPECT_REPORT_CAPACITY];
        const bool held = check_expectation(c, report, sizeof report);
        expectation(held, report);
        break;
    }
    case scenario_op::expect_png: {
        if (!files_here("expect png", io.check_png != nullptr, f))
            return false;
        char report[EXPECT_REPORT_CAPACITY];
        const int result = io.check_png(io.context, c_word(c.text).text, report, sizeof report);
        if (result < 0)
            return scenario_fail(f, "expect png: reference \"%s\": %s", quoted_path(c.text).text, report);
        expectation(result > 0, report);
        break;
    }
    case scenario_op::flight:
        if (!flights_here("flight", io.load_flight != nullptr, f))
            return false;
        if (!io.load_flight(io.context, c_word(c.text).text, why, sizeof why))
            return scenario_fail(f, "flight: %s", why);
        break;
    case scenario_op::fly: return run_fly(c, f);
    case scenario_op::print_text:
    case scenario_op::print_lcd:
    case scenario_op::expect_text:
    case scenario_op::gif:
    case scenario_op::gif_end:
        return scenario_fail(f, "this player runs no such line (the session's scenario executor does)");
    }
    return true;
}

// Runs lines until one has to wait for time, the script ends or a line is bad.
void step()
{
    while (play.playing && play.ticks_to_wait == 0 && play.passes_to_wait == 0) {
        if (play.cursor >= play.script.size()) {
            finish(play.tally.failed > 0 ? PLAYER_EXPECTATION_FAILED : PLAYER_OK);
            return;
        }
        const size_t end = play.script.find('\n', play.cursor);
        const size_t stop = end == std::string::npos ? play.script.size() : end;
        const std::string_view text(play.script.data() + play.cursor, stop - play.cursor);
        play.cursor = stop + 1;
        play.line++;
        scenario_command c;
        scenario_failure f;
        if (!parse_scenario_line(text, c, f) || !run(c, f)) {
            report_line(true, "line %ld: %s", play.line, f.text);
            finish(PLAYER_BAD_LINE);
            return;
        }
    }
}

}  // namespace

void player_start(std::string_view script, const player_io& io)
{
    play = playback{};
    play.script.assign(script);
    play.io = io;
    play.playing = true;
    step();
}

void player_stop()
{
    play.playing = false;
    play.ticks_to_wait = 0;
    play.passes_to_wait = 0;
    play.pass_after_ticks = false;
}

bool player_playing()
{
    return play.playing;
}

long player_line()
{
    return play.line;
}

void player_tick()
{
    if (!play.playing || play.ticks_to_wait == 0)
        return;
    if (--play.ticks_to_wait > 0)
        return;
    if (play.pass_after_ticks) {
        play.pass_after_ticks = false;
        play.passes_to_wait = 1;
        return;
    }
    step();
}

void player_pass()
{
    if (!play.playing || play.passes_to_wait == 0)
        return;
    if (--play.passes_to_wait == 0)
        step();
}
