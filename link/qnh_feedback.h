// The QNH set on the instrument, sent back to the simulator's altimeter
// while linked: when it changes, and once a second so that a simulator
// started again catches up. FlightGear takes it as a line of hPa through the
// generic protocol's input (flightgear/ktr7-qnh.xml), X-Plane in inHg as a
// DREF packet.
#pragma once
#include <cstdint>

#include "link/link_line.h"

constexpr double QNH_RESEND_SECONDS = 1.0;

class qnh_feedback {
public:
    // At each tick, with the instrument's QNH (mb x 1000) and the time in
    // seconds: true when it is to be sent now.
    bool due(uint32_t qnh_mb1000, double now_s);
    // How many times it was due, and the last value.
    uint64_t sent() const { return sent_; }
    uint32_t last() const { return last_; }

private:
    uint32_t last_ = 0;
    double sent_at_ = 0.0;
    uint64_t sent_ = 0;
};

// FlightGear's input line: the setting in hPa with two decimals and a newline.
link_line_text flightgear_qnh_line(uint32_t qnh_mb1000);
