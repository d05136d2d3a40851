// The host's clock: every host ticks the instrument with a 100 ms timer
// (blink divider, tick counter, one flight or link step), so a count of ticks
// is a time.
#pragma once

constexpr int TICK_MS = 100;
constexpr int TICKS_PER_SECOND = 1000 / TICK_MS;
constexpr double TICK_SECONDS = TICK_MS / 1000.0;
