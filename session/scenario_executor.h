// The scenario language's one executor: every host (the replay tool, the
// window, the page, Python) runs its scenarios here, against a session.
// A host lends what it has (files, pictures, flights) and hears what a run
// says; the run's result is a value. Two clocks:
// - immediate: what takes time runs at once (the replay tool, Python):
//   "tick N" is N ticks, "pass N" N passes, "wait N" N times a tick and a
//   pass, "fly" the flight's ticks, each with its pass;
// - live: what takes time waits for the host's own clock (the window, the
//   page): "tick N" and "wait N" let N ticks of the session pass ("wait"
//   then the pass after them), "pass N" N passes, "fly" plays the flight.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/expect.h"
#include "scenario/lcd_art.h"
#include "scenario/scenario_parse.h"
#include "session/session.h"

struct flight;

constexpr int SCENARIO_OK = 0;
constexpr int SCENARIO_EXPECTATION_FAILED = 1;
constexpr int SCENARIO_BAD_LINE = 2;

// An animation of a session's LCD being recorded ("gif FILE"): it takes the
// session's frames itself, one a tick, until finish writes it.
class lcd_recording {
public:
    virtual ~lcd_recording() = default;
    // Writes the file; false with why set when it could not.
    virtual bool finish(std::string& why) = 0;
};

// What a host lends a scenario. Without files, png, dump, expect png and gif
// are bad lines; without flights, flight is.
class scenario_lender {
public:
    enum class picture_check { equal, differs, unusable, updated };

    virtual bool lends_files() const;
    // png FILE SCALE and dump FILE: false with why set when not written.
    virtual bool write_png(const char* path, const uint8_t* frame, int scale, std::string& why);
    virtual bool write_dump(const char* path, const uint8_t* frame, std::string& why);
    // expect png FILE: text is the report (differs), the reason (unusable)
    // or the file rewritten (updated).
    virtual picture_check check_png(const char* path, const uint8_t* frame, std::string& text);
    // gif FILE SCALE: the recording of session's LCD, started; null with why
    // set when the file cannot be written.
    virtual std::unique_ptr<lcd_recording> record_gif(instrument_session& session, const char* path, int scale,
                                                       std::string& why);

    virtual bool lends_flights() const;
    // flight FILE: the flight, or null with error set; warning tells of
    // records skipped.
    virtual std::unique_ptr<flight> read_flight(const char* path, std::string& error, std::string& warning);

protected:
    ~scenario_lender() = default;
};

// A host that lends nothing.
extern scenario_lender& LENDS_NOTHING;

// What a run says, as it says it.
class scenario_output {
public:
    // print's lines, "updated FILE" and the closing "N passed, M failed".
    virtual void printed(const char* line) = 0;
    // A failed expectation (the run goes on) or the bad line that stops it.
    virtual void failed(long line, const char* message) = 0;
    // A warning about a line that ran ("warning: ..." of a flight's skipped
    // records).
    virtual void warned(long line, const char* message) = 0;
    // The run has ended (live runs; an immediate run ends in finish()).
    virtual void ended(int status);
    // A line given to play_line() has run, with what it waited for.
    virtual void line_played(long line);
    // How print lcd draws: in colour only for a terminal that shows it (the
    // default: plain).
    virtual lcd_art_style lcd_style() const;

protected:
    ~scenario_output() = default;
};

struct scenario_failure_line {
    long line;
    std::string message;
};

struct scenario_result {
    int status = SCENARIO_OK;
    expect_tally tally;
    std::vector<scenario_failure_line> failures;  // failed expectations, then the bad line
    long stopped_at = 0;                          // the bad line's number; 0 when none stopped it
    bool on = false;                              // the instrument on when the run ended
};

enum class scenario_clock { immediate, live };

class scenario_executor : private session_observer {
public:
    scenario_executor(instrument_session& session, session_display& display, scenario_lender& lender,
                      scenario_output& output, scenario_clock clock);
    ~scenario_executor();
    scenario_executor(const scenario_executor&) = delete;
    scenario_executor& operator=(const scenario_executor&) = delete;

    // Counts of tick, pass and wait above this are refused (the fuzzer's cap).
    void set_count_max(long long count_max) { count_max_ = count_max; }

    // Immediate runs, line by line: begin, feed each line (false once a line
    // was bad: the run has stopped), finish for the result.
    void begin();
    bool feed(std::string_view line);
    const scenario_result& finish();

    // A whole script at once: the result of an immediate run; a live run
    // starts, and ends later through the output's ended().
    const scenario_result& run(std::string_view script);

    // Live, a line at a time (a remote control): open() begins a run that
    // stays open, with no program start; play_line() runs one line and what
    // it waits for, and the output's line_played() tells when it has. A bad
    // line is reported and the run stays open for the next. False (nothing
    // run) while the line before is still running or no run is open. A GIF
    // goes on recording across lines until "gif end" or stop().
    void open();
    bool play_line(std::string_view line);
    bool line_running() const { return line_running_; }

    // Live: ends the run where it is; ended() is not called.
    void stop();
    bool playing() const { return playing_; }
    // Live: the run waits for passes alone ("pass N", the pass after a
    // "wait" or a "fly"), which in the replay tool take no ticks; a host
    // that holds its clock meanwhile ticks as the replay tool does.
    bool waits_for_passes() const { return playing_ && ticks_to_wait_ == 0 && passes_to_wait_ > 0; }
    // The line being played (1-based) and the ticks since the run began.
    long line() const { return line_; }
    uint64_t ticks_played() const { return ticks_played_; }
    const scenario_result& result() const { return result_; }

private:
    void session_ticked() override;
    void session_passed() override;
    // Off while a line waits for passes: none will come, and the line fails.
    void session_switched(bool on) override;

    bool execute(const scenario_command& c, scenario_failure& f);
    bool run_flight(const scenario_command& c, scenario_failure& f);
    bool run_fly(const scenario_command& c, scenario_failure& f);
    bool run_pictures(const scenario_command& c, scenario_failure& f);
    bool run_screen_text(const scenario_command& c);
    bool run_gif(const scenario_command& c, scenario_failure& f);
    // Writes the animation being recorded, if any; false with f set when it
    // could not be written.
    bool end_gif(scenario_failure& f);
    // The same where no line is to blame (the run's end, a stop).
    void end_gif_reporting();
    void expectation(bool held, const char* report);
    // Live: runs lines until one waits for time, the script ends or a line is bad.
    void advance();
    void end(int status);
    bool waiting() const { return ticks_to_wait_ > 0 || passes_to_wait_ > 0; }

    instrument_session& session_;
    session_display& display_;
    scenario_lender& lender_;
    scenario_output& output_;
    scenario_clock clock_;
    long long count_max_ = SCENARIO_COUNT_MAX;
    scenario_result result_;
    std::string script_;
    size_t cursor_ = 0;
    long line_ = 0;
    bool playing_ = false;
    bool open_ = false;          // open(): the run outlasts its script
    bool line_running_ = false;  // play_line()'s line has not yet been played
    long long ticks_to_wait_ = 0;
    long long passes_to_wait_ = 0;
    bool pass_after_ticks_ = false;  // "wait": the pass that follows its last tick
    uint64_t ticks_played_ = 0;
    std::unique_ptr<lcd_recording> gif_;  // "gif FILE" until "gif end" or the run's end
    std::string gif_path_;
};
