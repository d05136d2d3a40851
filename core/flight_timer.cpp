#include "core/flight_timer.h"
#include "core/state.h"
// PLACEHOLDER until the flight timer is written.
void flight_timer_step() {}
void flight_start_stop() {}
