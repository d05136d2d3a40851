#include "core/airspeed.h"
#include "core/state.h"
// PLACEHOLDER until the airspeed channel is written.
void update_airspeed() {}
