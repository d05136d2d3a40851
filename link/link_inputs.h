// The link's values as the instrument's three sensor inputs, through the same
// mapping a recorded flight uses (flight/sensor_mapping.h), at the
// instrument's settings now: so the encoder sends the simulator's pressure
// altitude back and the airspeed shown is its indicated airspeed, to the
// instrument's resolution. Every position is held inside its input's range.
#pragma once
#include "flight/flight_player.h"
#include "link/link_line.h"

flight_inputs link_inputs(const link_values& values);
