// Recorded flights from Python: a flight file loaded and played through the
// instrument, ten ticks a second of flight time, each with the flight's
// inputs and a pass, as a scenario's flight and fly do.
#pragma once
#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "flight/flight.h"
#include "flight/flight_player.h"
#include "host/pass.h"

class flight_playback {
public:
    // Reads the file (IGC, GPX, or what gpsbabel reads): FileNotFoundError,
    // or ValueError with the reader's one-line reason; a warning for skipped
    // records. Returns what the log says of itself.
    pybind11::dict load(const std::string& path);
    // The ticks of "fly SECONDS" or "fly end" (an int or "end"), refused as
    // the language refuses them.
    long long ticks_for(const pybind11::handle& seconds) const;
    // One tick of the flight: its inputs, a timer tick and a pass.
    void tick(const host_io& io) { player_->tick(io); }
    bool loaded() const { return player_ != nullptr; }
    // The flight time of the next tick, seconds since midnight UTC.
    double time() const;
    bool at_end() const;

private:
    std::unique_ptr<flight> recorded_;
    std::unique_ptr<flight_player> player_;
};
