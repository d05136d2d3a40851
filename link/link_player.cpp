#include "link/link_player.h"

#include "host/sensor_inputs.h"
#include "link/link_inputs.h"

namespace {

// Half a tick: a line due within it of a tick's time takes effect there.
constexpr double TICK_ROUNDING = FLIGHT_TICK_SECONDS / 2.0;
// A clock that jumps further ahead than this has not flown that long (a
// paused simulator reloaded, a stream spliced together): the line takes
// effect at the next tick instead of after hours of ticks.
constexpr double LINK_JUMP_SECONDS = 600.0;

}  // namespace

double link_player::time() const
{
    return double(ticks_) * FLIGHT_TICK_SECONDS;
}

void link_player::tick()
{
    if (stream_.has_values()) {
        const flight_inputs inputs = link_inputs(stream_.latest());
        host_set_input(sensor_input::altitude, inputs.altitude);
        host_set_input(sensor_input::vertical_speed, inputs.vertical_speed);
        host_set_input(sensor_input::asi_adc, inputs.asi_adc);
    }
    host_timer_tick();
    run_pass(io_);
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
        anchor_ += values.elapsed_s - last_elapsed_ - FLIGHT_TICK_SECONDS;
    } else if (values.elapsed_s > last_elapsed_) {
        while (time() + FLIGHT_TICK_SECONDS <= values.elapsed_s - anchor_ + TICK_ROUNDING)
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
