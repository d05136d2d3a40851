// What the KTR-7 showed over a played flight, gathered pass by pass from the
// state record: the flights its own detection found, the time on its flight
// timer, the highest airspeed, the time in overspeed and in stall alarm, the
// lowest and highest altitude shown.
#pragma once
#include <cstdint>
#include <vector>

struct detected_flight {
    double takeoff = 0.0;  // flight time of the tick the flight started at
    double landing = 0.0;  // and ended at; meaningless while still flying
    bool landed = false;
};

struct flight_summary {
    std::vector<detected_flight> flights;
    uint8_t timer_hours = 0, timer_minutes = 0, timer_seconds = 0;
    uint16_t max_airspeed = 0;
    uint8_t asi_unit = 0;       // of max_airspeed
    long overspeed_ticks = 0;   // passes with the alarm raised above Vne
    long stall_ticks = 0;       // passes with the alarm raised below Vs1 in flight
    int32_t lowest_altitude = 0, highest_altitude = 0;
    uint8_t altitude_unit = 0;  // of the altitudes
    long ticks = 0;
};

// Watches the instrument after each pass of a played flight.
class flight_watch {
public:
    // After a pass at flight time time.
    void observe(double time);
    const flight_summary& summary() const { return summary_; }

private:
    flight_summary summary_;
    bool flying_ = false;
};
