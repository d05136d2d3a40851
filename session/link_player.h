// A recorded link stream played headless, as the window would have played it
// live: each line takes effect at its elapsed time (10 ticks a second, each
// with the newest values written to the inputs, a timer tick and a pass), so
// the instrument's time follows the simulator's. A line whose clock has not
// moved since the line before takes one tick of its own, so a stream without a
// clock (every elapsed time 0) plays a line per tick. The simulator's clock
// starting over, or jumping more than ten minutes ahead, is followed from
// where the instrument's time has got to.
#pragma once
#include <string_view>

#include "flight/flight_summary.h"
#include "link/link_stream.h"
#include "session/session.h"

class link_player {
public:
    // Plays into session, each pass shown on display.
    explicit link_player(instrument_session& session, session_display& display = NO_DISPLAY)
        : session_(session), display_(display)
    {
    }

    // One line of the stream, without its line end.
    void line(std::string_view text);
    // The last values for one more tick, so the last line takes effect.
    void finish();

    const link_stream& stream() const { return stream_; }
    const flight_summary& summary() const { return watch_.summary(); }
    long long ticks() const { return ticks_; }
    // Seconds of instrument time played.
    double time() const;

private:
    void tick();

    instrument_session& session_;
    session_display& display_;
    link_stream stream_;
    flight_watch watch_;
    long long ticks_ = 0;
    double anchor_ = 0.0;  // the simulator's elapsed time at instrument time 0
    double last_elapsed_ = 0.0;
};
