// Flight detection and the flight timer, stepped once per 100 ms tick; the
// timer counts a second of flight time for every ten steps.
#pragma once

void flight_timer_step();

// START/STOP FLIGHT answered yes: stops a running flight (keeping its time)
// or starts a new one from zero.
void flight_start_stop();
