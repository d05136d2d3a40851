// A recorded flight read at any flight time: its channels drawn as straight
// lines between fixes, and held across a gap (fixes more than
// FLIGHT_GAP_SECONDS apart), before the first fix and after the last, so
// nothing is invented where the logger recorded nothing.
#pragma once
#include <cstddef>

#include "flight/flight.h"

struct flight_sample {
    double altitude_ft = 0.0;   // pressure altitude (or GNSS standing in)
    double airspeed_kmh = 0.0;  // by the flight's airspeed source
    // The logger's vertical speed where it logs one, else unknown.
    double vario_fpm = FLIGHT_UNKNOWN;
    // The altitude trace's slope at this time (0 in a gap and outside the
    // flight), ft/min: what a VSI's capsule feels, before its lag.
    double climb_fpm = 0.0;
    bool in_gap = false;
};

// The flight's channels at time. hint is the index of a fix at or before the
// last time asked (0 to begin with): reading forward in time from it is
// quick, any other time is searched for.
flight_sample sample_flight(const flight& f, double time, size_t& hint);
