#include "session/link_player.h"

#include "host/time_base.h"

namespace {

// Half a tick: a line due within it of a tick's time takes effect there.
constexpr double TICK_ROUNDING = TICK_SECONDS / 2.0;
// A clock that jumps further ahead than this has not flown that long (a
// paused simulator reloaded, a stream spliced together): the line takes
// effect at the next tick instead of after hours of ticks.
constexpr double LINK_JUMP_SECONDS = 600.0;

}  // namespace

double link_player::time() const
{
    return double(ticks_) * TICK_SECONDS;
}

void link_player::tick()
{
    if (stream_.has_values())
        session_.take_link_values(stream_.latest());
    session_.timer_tick();
    session_.pass(display_);
    ticks_++;
    watch_.observe(time());
}

void link_player::line(std::string_view text)
{
    const bool first = !stream_.has_values();
    const uint64_t restarts = stream_.counts().restarts;
    link_values values;
    if (read_link_line(text, values) != link_fault::none || first) {
        stream_.feed_line(text);
        if (first && stream_.has_values())
            anchor_ = last_elapsed_ = stream_.latest().elapsed_s;
        return;
    }
    // The values before this line hold until its time.
    if (values.elapsed_s == last_elapsed_) {
        tick();
    } else if (values.elapsed_s - last_elapsed_ > LINK_JUMP_SECONDS) {
        tick();
        anchor_ += values.elapsed_s - last_elapsed_ - TICK_SECONDS;
    } else if (values.elapsed_s > last_elapsed_) {
        while (time() + TICK_SECONDS <= values.elapsed_s - anchor_ + TICK_ROUNDING)
            tick();
    }
    if (stream_.feed_line(text) != link_fault::none)
        return;
    if (stream_.counts().restarts != restarts)
        anchor_ = values.elapsed_s - time();
    last_elapsed_ = values.elapsed_s;
}

void link_player::finish()
{
    if (stream_.has_values())
        tick();
}
