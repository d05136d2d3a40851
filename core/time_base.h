// The instrument's clock: a 100 ms timer tick, at which a host steps the
// blink divider, the tick counter and the flight timer (and a flight or the
// link one step), so a count of ticks is a time.
#pragma once

constexpr int TICK_MS = 100;
constexpr int TICKS_PER_SECOND = 1000 / TICK_MS;
constexpr double TICK_SECONDS = TICK_MS / 1000.0;
