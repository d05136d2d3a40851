// Plays a recorded flight through the instrument, one 100 ms tick at a time:
// at each tick the flight's values at the current flight time go to the
// three sensor inputs, the timer ticks and one pass runs, so the flight
// timer, the blink and take-off detection all run in flight time. A host
// playing at N times real speed runs N ticks per 100 ms of its own time.
//
// The vertical speed is the logger's own (IGC VAT) where it logs one; else
// the slope of the altitude trace through a first-order lag of
// VSI_LAG_SECONDS, as the capsule and leak of a VSI smooth it.
#pragma once
#include <cstdint>

#include "flight/flight.h"
#include "flight/flight_sample.h"
#include "host/pass.h"
#include "host/time_base.h"

constexpr double VSI_LAG_SECONDS = 3.0;

// The three input positions of one tick.
struct flight_inputs {
    int32_t altitude = 0;
    int32_t vertical_speed = 0;
    int32_t asi_adc = 0;
};

class flight_player {
public:
    // At the flight's first fix. The flight must outlive the player.
    explicit flight_player(const flight& recorded);

    const flight& recorded() const { return *flight_; }
    // The flight time (seconds since midnight of its date) of the next tick.
    double time() const;
    // Ticks since the flight's start.
    long long ticks_done() const { return tick_; }
    // Ticks until the last fix has been played (0 once it has).
    long long ticks_left() const;
    bool at_end() const { return ticks_left() == 0; }

    // Moves to a flight time (held inside the flight, to a whole tick); the
    // VSI's lag starts over there, at the trace's own rate.
    void seek(double time);

    // The inputs at the current time at the instrument's current settings,
    // written to the state record; the VSI lag advances by one tick.
    flight_inputs write_inputs();
    // One tick: write_inputs, host_timer_tick, run_pass; then the next time.
    void tick(const host_io& io);
    // ticks ticks (past the last fix the values stay those of the last fix).
    void fly(long long ticks, const host_io& io);
    // Moves on to the next tick without running this one: for a host that
    // writes the inputs (write_inputs), ticks the timer and runs the pass
    // itself. The VSI's lag carries on.
    void step() { tick_++; }

    // What the last write_inputs wrote, and the flight's values it came from.
    const flight_inputs& inputs() const { return inputs_; }
    const flight_sample& sample() const { return sample_; }
    // The vertical speed fed to the VSI at the last tick, ft/min.
    double vertical_speed_fpm() const { return vsi_fpm_; }

private:
    const flight* flight_;
    long long tick_ = 0;
    size_t hint_ = 0;
    bool lag_started_ = false;
    double vsi_fpm_ = 0.0;
    flight_sample sample_;
    flight_inputs inputs_;
};
