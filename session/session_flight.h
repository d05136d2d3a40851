// The recorded flight a session plays, with the one policy every host
// follows: opened at its first fix and paused; played from where it is (from
// the start once played to its end), switching the instrument on if it is
// off; paused by a hand on an input, by Off and by a scenario starting; its
// inputs mapped through the instrument's settings only while it is on.
#pragma once
#include <array>
#include <memory>

#include "flight/flight.h"
#include "flight/flight_player.h"

// What a flight needs of the session that plays it.
class flight_owner {
public:
    virtual bool owner_running() = 0;
    virtual void owner_switch_on() = 0;
    // Makes the owner's instrument the one the flight's inputs are written to.
    virtual void owner_activate() = 0;
    // Followers told: the flight changed, a line for the user, the inputs moved.
    virtual void owner_flight_changed() = 0;
    virtual void owner_notice(const char* text) = 0;
    virtual void owner_inputs_moved() = 0;

protected:
    ~flight_owner() = default;
};

// The speeds a flight may be played at, times real time.
constexpr std::array<int, 6> FLIGHT_SPEEDS = {1, 2, 5, 10, 30, 60};

class session_flight {
public:
    explicit session_flight(flight_owner& owner) : owner_(owner) {}

    // Takes a flight read by the host, at its first fix, paused; the flight
    // open before is closed. While on, the inputs take its values there.
    void open(std::unique_ptr<flight> recorded);
    void close();
    bool is_open() const { return player_ != nullptr; }
    // Only while open.
    const flight& recorded() const { return *recorded_; }
    const flight_player& player() const { return *player_; }

    // Plays from where it is, switching the instrument on if it is off.
    void play();
    // Plays ticks more ticks of flight time from where it is, then pauses (a
    // scenario's "fly" played live); -1 plays to the last fix.
    void play_ticks(long long ticks);
    // Pauses; why, when given, is told to the session's followers.
    void pause(const char* why = nullptr);
    bool playing() const { return playing_; }

    // One of FLIGHT_SPEEDS; false for any other.
    bool set_speed(int times_real_time);
    int speed() const { return speed_; }

    // Moves to a flight time (held inside the flight); while on, the inputs
    // take the values there.
    void seek(double time);
    // The flight time of the next tick, seconds since midnight UTC of its
    // date; 0 with no flight.
    double time() const;
    bool at_end() const;
    long long ticks_left() const;

private:
    friend class instrument_session;
    // Writes the inputs of the current tick when on.
    void write_inputs_now();
    // A tick of flight time has been played; pauses at the end or when the
    // ticks asked for are done. True while it plays on.
    bool ticked();

    flight_owner& owner_;
    std::unique_ptr<flight> recorded_;
    std::unique_ptr<flight_player> player_;
    bool playing_ = false;
    int speed_ = 1;
    long long ticks_to_play_ = -1;  // -1: until its end or a pause
};
