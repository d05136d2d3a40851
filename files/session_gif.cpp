#include "files/session_gif.h"

session_gif::session_gif(instrument_session& session, const char* path, int scale, long every)
    : session_(session), every_(every < 1 ? 1 : every)
{
    if (!writer_.open(path, scale, why_))
        return;
    session_.add_observer(this);
    observing_ = true;
}

session_gif::~session_gif()
{
    if (observing_)
        session_.remove_observer(this);
}

void session_gif::session_ticked()
{
    if (++ticks_ < every_ || !writer_.is_open())
        return;
    if (!writer_.add(session_.frame(), ticks_, why_))
        return;
    ticks_ = 0;
}

bool session_gif::finish(std::string& why)
{
    if (observing_) {
        session_.remove_observer(this);
        observing_ = false;
    }
    if (!writer_.is_open()) {
        why = why_.empty() ? "the GIF is not open" : why_;
        return false;
    }
    // The LCD as the recording ends: for the ticks since the last frame, or
    // for one tick when it differs from that frame (or none was taken).
    const uint8_t* frame = session_.frame();
    bool written = true;
    if (ticks_ > 0 || !writer_.same_as_newest(frame))
        written = writer_.add(frame, ticks_ > 0 ? ticks_ : 1, why_);
    if (!written || !writer_.close(why_)) {
        why = why_;
        return false;
    }
    return true;
}
