// The airspeed channel: converter reading to airspeed, maximum and alarms.
#pragma once

void update_airspeed();
