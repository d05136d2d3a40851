#include "session/session_flight.h"

#include <algorithm>


void session_flight::open(std::unique_ptr<flight> recorded)
{
    close();
    recorded_ = std::move(recorded);
    player_ = std::make_unique<flight_player>(*recorded_);
    write_inputs_now();
    owner_.owner_flight_changed();
}

void session_flight::close()
{
    if (!is_open())
        return;
    playing_ = false;
    ticks_to_play_ = -1;
    player_.reset();
    recorded_.reset();
    owner_.owner_flight_changed();
}

void session_flight::play()
{
    if (is_open() && player_->at_end())
        player_->seek(recorded_->start_time());
    play_ticks(-1);
}

void session_flight::play_ticks(long long ticks)
{
    if (!is_open())
        return;
    if (!owner_.owner_running()) {
        owner_.owner_switch_on();
        owner_.owner_notice("Switched the instrument on to fly the flight");
    }
    ticks_to_play_ = ticks;
    playing_ = ticks != 0;
    owner_.owner_flight_changed();
}

void session_flight::pause(const char* why)
{
    ticks_to_play_ = -1;
    if (!playing_)
        return;
    playing_ = false;
    if (why != nullptr)
        owner_.owner_notice(why);
    owner_.owner_flight_changed();
}

bool session_flight::set_speed(int times_real_time)
{
    if (std::find(FLIGHT_SPEEDS.begin(), FLIGHT_SPEEDS.end(), times_real_time) == FLIGHT_SPEEDS.end())
        return false;
    if (times_real_time != speed_) {
        speed_ = times_real_time;
        owner_.owner_flight_changed();
    }
    return true;
}

void session_flight::seek(double time)
{
    if (!is_open())
        return;
    player_->seek(time);
    write_inputs_now();
    owner_.owner_flight_changed();
}

double session_flight::time() const
{
    return is_open() ? player_->time() : 0.0;
}

bool session_flight::at_end() const
{
    return is_open() && player_->at_end();
}

long long session_flight::ticks_left() const
{
    return is_open() ? player_->ticks_left() : 0;
}

void session_flight::write_inputs_now()
{
    // An instrument that is off has no settings to map the flight's values
    // through; they reach the inputs once it is switched on.
    if (!is_open() || !owner_.owner_running())
        return;
    owner_.owner_activate();
    player_->write_inputs();
    owner_.owner_inputs_moved();
}

bool session_flight::ticked()
{
    if (ticks_to_play_ > 0 && --ticks_to_play_ == 0) {
        playing_ = false;
        ticks_to_play_ = -1;
        owner_.owner_flight_changed();
        return false;
    }
    if (player_->at_end()) {
        pause("The flight has been played to its end");
        return false;
    }
    owner_.owner_flight_changed();
    return true;
}
