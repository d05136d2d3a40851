// An animated GIF of a session's LCD, recorded as the session runs: every
// every-th tick of its time base the LCD as the tick finds it (what the
// passes since the tick before drew), shown for those ticks; when the
// recording ends, the LCD as it is then. See picture/lcd_gif.h for the file.
#pragma once
#include <string>

#include "picture/lcd_gif.h"
#include "session/scenario_executor.h"
#include "session/session.h"

class session_gif final : public lcd_recording, private session_observer {
public:
    // Opens path; is_open() tells whether it could be, why() why not.
    session_gif(instrument_session& session, const char* path, int scale, long every = 1);
    ~session_gif() override;
    session_gif(const session_gif&) = delete;
    session_gif& operator=(const session_gif&) = delete;

    bool is_open() const { return writer_.is_open(); }
    const std::string& why() const { return why_; }
    long frames() const { return writer_.frames(); }

    // Writes the file; false with why set (also when a frame could not be
    // written before).
    bool finish(std::string& why) override;

private:
    void session_ticked() override;

    instrument_session& session_;
    lcd_gif_writer writer_;
    long every_;
    long ticks_ = 0;  // since the last frame taken
    std::string why_;
    bool observing_ = false;
};
