// ktr7-replay: the instrument and its run-loop pass without a window, driven
// by a scenario of one command per line. The executor is a library so that the
// tool, the tests and a fuzzing target share it.
#pragma once
#include <cstdio>
#include <string_view>

constexpr int REPLAY_OK = 0;
constexpr int REPLAY_EXPECTATION_FAILED = 1;
constexpr int REPLAY_FAILED = 2;

// Program-start state: every field of st zero, lcd_buffer zero, the
// instrument off, the check box checked, the lamp maroon, and current_screen
// set to screen_main as the window's creation sets it.
void replay_reset();

// Runs the commands read from in (named in_name in messages), continuing from
// the current state. Command output goes to out; on the first bad line out is
// flushed, one "ktr7-replay: line N: ..." message goes to err and the result
// is REPLAY_FAILED without running anything further. A failed expectation is
// reported the same way and the run goes on; when the commands read had
// expectations, "N passed, M failed" ends out and the result is
// REPLAY_EXPECTATION_FAILED if any failed. Otherwise REPLAY_OK.
int replay_execute(FILE* in, const char* in_name, FILE* out, FILE* err);

// The same over a script held in memory; lines end at '\n'.
int replay_execute_text(std::string_view script, FILE* out, FILE* err);

// replay_reset, then replay_execute / replay_execute_text.
int replay_run(FILE* in, const char* in_name, FILE* out, FILE* err);
int replay_run_text(std::string_view script, FILE* out, FILE* err);

// Limits for running scenarios from an untrusted source (the fuzzing target):
// with write_files false, png, dump and expect png check their arguments and
// touch no file; tick, pass and wait refuse counts above max_count. With
// update_pictures, expect png rewrites its reference from the LCD (--update).
struct replay_limits {
    bool write_files;
    long long max_count;
    bool update_pictures;
};
extern const replay_limits REPLAY_DEFAULT_LIMITS;
void replay_set_limits(const replay_limits& limits);

// The folder that relative expect png references are taken from (the
// scenario file's folder); empty or null for the working directory.
void replay_set_reference_folder(const char* folder);

class instrument_session;
class session_display;
// The tool's one session, and the display that writes the sentences of its
// passes as "serial" lines to the output of the run under way.
instrument_session& replay_session();
session_display& replay_display_of_sentences();

// The usage text of the tool.
extern const char replay_usage[];
