#include "session/scenario_executor.h"

#include <cstdio>

#include "flight/flight.h"
#include "host/time_base.h"
#include "scenario/fields.h"
#include "scenario/lcd_text.h"

namespace {

class lender_of_nothing final : public scenario_lender {};
lender_of_nothing nothing_lent;

bool files_here(const char* command, bool available, scenario_failure& f)
{
    return available || scenario_fail(f, "%s: this host writes and reads no files", command);
}

bool flights_here(const char* command, bool available, scenario_failure& f)
{
    return available || scenario_fail(f, "%s: this host has no flights", command);
}

}  // namespace

scenario_lender& LENDS_NOTHING = nothing_lent;

bool scenario_lender::lends_files() const
{
    return false;
}

bool scenario_lender::write_png(const char*, const uint8_t*, int, std::string& why)
{
    why = "no files here";
    return false;
}

bool scenario_lender::write_dump(const char*, const uint8_t*, std::string& why)
{
    why = "no files here";
    return false;
}

scenario_lender::picture_check scenario_lender::check_png(const char*, const uint8_t*, std::string& text)
{
    text = "no files here";
    return picture_check::unusable;
}

std::unique_ptr<lcd_recording> scenario_lender::record_gif(instrument_session&, const char*, int, std::string& why)
{
    why = "no files here";
    return nullptr;
}

bool scenario_lender::lends_flights() const
{
    return false;
}

std::unique_ptr<flight> scenario_lender::read_flight(const char*, std::string& error, std::string&)
{
    error = "no flights here";
    return nullptr;
}

void scenario_output::ended(int) {}

void scenario_output::line_played(long) {}

lcd_art_style scenario_output::lcd_style() const
{
    return lcd_art_style::plain;
}

scenario_executor::scenario_executor(instrument_session& session, session_display& display,
                                     scenario_lender& lender, scenario_output& output, scenario_clock clock)
    : session_(session), display_(display), lender_(lender), output_(output), clock_(clock)
{
    session_.add_observer(this);
}

scenario_executor::~scenario_executor()
{
    session_.remove_observer(this);
}

void scenario_executor::begin()
{
    gif_.reset();
    result_ = scenario_result{};
    line_ = 0;
    ticks_played_ = 0;
    ticks_to_wait_ = 0;
    passes_to_wait_ = 0;
    pass_after_ticks_ = false;
    // A scenario takes the instrument's inputs into its own hands.
    session_.flight().pause();
}

bool scenario_executor::feed(std::string_view text)
{
    line_++;
    scenario_command c;
    scenario_failure f;
    session_.activate();
    if (parse_scenario_line(text, c, f, count_max_) && execute(c, f))
        return true;
    result_.failures.push_back({line_, f.text});
    result_.stopped_at = line_;
    output_.failed(line_, f.text);
    return false;
}

const scenario_result& scenario_executor::finish()
{
    end_gif_reporting();
    result_.on = session_.running();
    if (result_.stopped_at != 0) {
        result_.status = SCENARIO_BAD_LINE;
        return result_;
    }
    if (result_.tally.any()) {
        char closing[64];
        snprintf(closing, sizeof closing, "%ld passed, %ld failed", result_.tally.passed, result_.tally.failed);
        output_.printed(closing);
    }
    result_.status = result_.tally.failed > 0 ? SCENARIO_EXPECTATION_FAILED : SCENARIO_OK;
    return result_;
}

const scenario_result& scenario_executor::run(std::string_view script)
{
    begin();
    if (clock_ == scenario_clock::live) {
        script_.assign(script);
        cursor_ = 0;
        playing_ = true;
        advance();
        return result_;
    }
    while (!script.empty()) {
        const size_t end = script.find('\n');
        if (!feed(script.substr(0, end)))
            break;
        script = end == script.npos ? std::string_view() : script.substr(end + 1);
    }
    return finish();
}

void scenario_executor::open()
{
    begin();
    script_.clear();
    cursor_ = 0;
    playing_ = true;
    open_ = true;
    line_running_ = false;
}

bool scenario_executor::play_line(std::string_view line)
{
    if (!open_ || line_running_)
        return false;
    script_.assign(line.substr(0, line.find('\n')));
    cursor_ = 0;
    line_running_ = true;
    advance();
    return true;
}

void scenario_executor::stop()
{
    end_gif_reporting();
    playing_ = false;
    open_ = false;
    line_running_ = false;
    ticks_to_wait_ = 0;
    passes_to_wait_ = 0;
    pass_after_ticks_ = false;
}

void scenario_executor::advance()
{
    while (playing_ && !waiting()) {
        if (open_) {
            // The one line given has been played once the cursor is past it.
            if (!line_running_)
                return;
            if (cursor_ > script_.size()) {
                line_running_ = false;
                output_.line_played(line_);
                return;
            }
        } else if (cursor_ >= script_.size()) {
            end(SCENARIO_OK);
            return;
        }
        const size_t newline = script_.find('\n', cursor_);
        const size_t stop_at = newline == std::string::npos ? script_.size() : newline;
        const std::string_view text(script_.data() + cursor_, stop_at - cursor_);
        cursor_ = stop_at + 1;
        if (feed(text))
            continue;
        if (!open_) {
            end(SCENARIO_BAD_LINE);
            return;
        }
        // A remote control's bad line stops only itself.
        result_.stopped_at = 0;
    }
}

void scenario_executor::end(int)
{
    stop();
    finish();
    output_.ended(result_.status);
}

void scenario_executor::session_ticked()
{
    if (!playing_)
        return;
    ticks_played_++;
    if (ticks_to_wait_ == 0 || --ticks_to_wait_ > 0)
        return;
    if (pass_after_ticks_) {
        pass_after_ticks_ = false;
        passes_to_wait_ = 1;
        return;
    }
    advance();
}

void scenario_executor::session_passed()
{
    if (!playing_ || passes_to_wait_ == 0)
        return;
    if (--passes_to_wait_ == 0)
        advance();
}

void scenario_executor::session_switched(bool on)
{
    if (on || !playing_ || (passes_to_wait_ == 0 && !pass_after_ticks_))
        return;
    ticks_to_wait_ = 0;
    passes_to_wait_ = 0;
    pass_after_ticks_ = false;
    scenario_failure f;
    scenario_fail(f, "the instrument was switched off before the passes this line waits for");
    result_.failures.push_back({line_, f.text});
    output_.failed(line_, f.text);
    if (!open_) {
        result_.stopped_at = line_;
        end(SCENARIO_BAD_LINE);
        return;
    }
    advance();
}

void scenario_executor::expectation(bool held, const char* report)
{
    if (held) {
        result_.tally.passed++;
        return;
    }
    result_.tally.failed++;
    result_.failures.push_back({line_, report});
    output_.failed(line_, report);
}

bool scenario_executor::run_flight(const scenario_command& c, scenario_failure& f)
{
    if (!flights_here("flight", lender_.lends_flights(), f))
        return false;
    std::string error, warning;
    session_.flight().close();
    std::unique_ptr<flight> recorded = lender_.read_flight(c_word(c.text).text, error, warning);
    if (recorded == nullptr)
        return scenario_fail(f, "flight: %s", error.c_str());
    if (!warning.empty())
        output_.warned(line_, ("warning: " + warning).c_str());
    session_.flight().open(std::move(recorded));
    return true;
}

bool scenario_executor::run_fly(const scenario_command& c, scenario_failure& f)
{
    if (!flights_here("fly", lender_.lends_flights(), f) || !scenario_needs_on(session_.running(), "fly", f))
        return false;
    session_flight& played = session_.flight();
    if (!played.is_open())
        return scenario_fail(f, "fly: no flight loaded (load one with \"flight FILE\")");
    const long long ticks = c.number == FLY_TO_END ? played.ticks_left() : c.number * TICKS_PER_SECOND;
    if (clock_ == scenario_clock::immediate) {
        session_.fly(ticks, display_);
        return true;
    }
    played.play_ticks(ticks);
    ticks_to_wait_ = ticks;
    pass_after_ticks_ = ticks > 0;
    return true;
}

bool scenario_executor::run_pictures(const scenario_command& c, scenario_failure& f)
{
    const char* command = c.op == scenario_op::png ? "png" : c.op == scenario_op::dump ? "dump" : "expect png";
    if (!files_here(command, lender_.lends_files(), f))
        return false;
    const c_word name(c.text);
    std::string text;
    switch (c.op) {
    case scenario_op::png:
        if (!lender_.write_png(name.text, session_.frame(), int(c.number), text))
            return scenario_fail(f, "png: cannot write \"%s\": %s", quoted_path(c.text).text, text.c_str());
        return true;
    case scenario_op::dump:
        if (!lender_.write_dump(name.text, session_.frame(), text))
            return scenario_fail(f, "dump: cannot write \"%s\": %s", quoted_path(c.text).text, text.c_str());
        return true;
    default: break;
    }
    switch (lender_.check_png(name.text, session_.frame(), text)) {
    case scenario_lender::picture_check::unusable:
        return scenario_fail(f, "expect png: %s", text.c_str());
    case scenario_lender::picture_check::updated:
        output_.printed(("updated " + text).c_str());
        result_.tally.passed++;
        return true;
    case scenario_lender::picture_check::equal: expectation(true, ""); return true;
    case scenario_lender::picture_check::differs: expectation(false, text.c_str()); return true;
    }
    return true;
}

bool scenario_executor::run_screen_text(const scenario_command& c)
{
    if (c.op == scenario_op::print_lcd) {
        const uint8_t* frame = session_.frame();
        for (int row = 0; row < LCD_HEIGHT / 2; row++)
            output_.printed(lcd_art_line(frame, row, output_.lcd_style()).c_str());
        return true;
    }
    const text_log& log = session_.texts();
    for (const drawn_text* text : texts_in_reading_order(log))
        if (text->text[0] != '\0')
            output_.printed(text_line(*text).c_str());
    if (log.dropped > 0)
        output_.printed(("(and " + std::to_string(log.dropped) + " strings more than the log keeps)").c_str());
    return true;
}

bool scenario_executor::run_gif(const scenario_command& c, scenario_failure& f)
{
    if (c.op == scenario_op::gif_end) {
        if (gif_ == nullptr)
            return scenario_fail(f, "gif end: no animation is being recorded (start one with \"gif FILE\")");
        return end_gif(f);
    }
    if (!files_here("gif", lender_.lends_files(), f))
        return false;
    if (gif_ != nullptr)
        return scenario_fail(f, "gif: \"%s\" is being recorded (end it with \"gif end\")",
                             quoted_path(gif_path_).text);
    std::string why;
    gif_ = lender_.record_gif(session_, c_word(c.text).text, int(c.number), why);
    if (gif_ == nullptr)
        return scenario_fail(f, "gif: cannot write \"%s\": %s", quoted_path(c.text).text, why.c_str());
    gif_path_.assign(c.text);
    return true;
}

bool scenario_executor::end_gif(scenario_failure& f)
{
    if (gif_ == nullptr)
        return true;
    std::string why;
    const bool written = gif_->finish(why);
    gif_.reset();
    return written || scenario_fail(f, "gif: cannot write \"%s\": %s", quoted_path(gif_path_).text, why.c_str());
}

void scenario_executor::end_gif_reporting()
{
    scenario_failure f;
    if (end_gif(f))
        return;
    result_.failures.push_back({line_, f.text});
    if (result_.stopped_at == 0)
        result_.stopped_at = line_;
    output_.failed(line_, f.text);
}

bool scenario_executor::execute(const scenario_command& c, scenario_failure& f)
{
    const bool now = clock_ == scenario_clock::immediate;
    switch (c.op) {
    case scenario_op::none: break;
    case scenario_op::on: session_.switch_on(); break;
    case scenario_op::off: session_.switch_off(); break;
    case scenario_op::key: session_.post_key(uint8_t(c.number)); break;
    case scenario_op::input: session_.set_input(c.input, int32_t(c.number)); break;
    case scenario_op::sensor: session_.set_sensor_checked(c.number != 0); break;
    case scenario_op::tick:
        if (!now) {
            ticks_to_wait_ = c.number;
            break;
        }
        for (long long i = 0; i < c.number; i++)
            session_.timer_tick();
        break;
    case scenario_op::pass:
        if (!scenario_needs_on(session_.running(), "pass", f))
            return false;
        if (!now) {
            passes_to_wait_ = c.number;
            break;
        }
        for (long long i = 0; i < c.number && session_.pass(display_); i++) {
        }
        break;
    case scenario_op::wait:
        if (!scenario_needs_on(session_.running(), "wait", f))
            return false;
        if (!now) {
            ticks_to_wait_ = c.number;
            pass_after_ticks_ = c.number > 0;
            break;
        }
        for (long long i = 0; i < c.number; i++) {
            session_.timer_tick();
            session_.pass(display_);
        }
        break;
    case scenario_op::print:
        print_fields(
            c.text, [](const char* printed, void* out) { static_cast<scenario_output*>(out)->printed(printed); },
            &output_);
        break;
    case scenario_op::png:
    case scenario_op::dump:
    case scenario_op::expect_png: return run_pictures(c, f);
    case scenario_op::expect_value:
    case scenario_op::expect_range:
    case scenario_op::expect_serial:
    case scenario_op::expect_text: {
        char report[EXPECT_REPORT_CAPACITY];
        const bool held = check_expectation(c, report, sizeof report);
        expectation(held, report);
        break;
    }
    case scenario_op::flight: return run_flight(c, f);
    case scenario_op::fly: return run_fly(c, f);
    case scenario_op::print_text:
    case scenario_op::print_lcd: return run_screen_text(c);
    case scenario_op::gif:
    case scenario_op::gif_end: return run_gif(c, f);
    }
    return true;
}
