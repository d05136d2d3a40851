// Flight detection and the flight timer, stepped once per 100 ms tick; the
// timer counts a second of flight time for every ten steps.
#pragma once
#include <cstdint>

// flight_timer_mode: flights started and stopped by hand (MANUAL, the
// factory setting) or by the airspeed (DETECT).
constexpr uint8_t TIMER_MODE_MANUAL = 0;
constexpr uint8_t TIMER_MODE_DETECT = 1;

void flight_timer_step();

// The flight time back to 0:00:00 (a flight starting, switch-on).
void clear_flight_time();

// START/STOP FLIGHT answered yes: stops a running flight (keeping its time)
// or starts a new one from zero.
void flight_start_stop();
