// ktr7-replay --flight: a recorded flight played through the instrument from
// switch-on (factory settings, altitude sensor checked) to its last fix, and
// what the KTR-7 showed over it.
#pragma once
#include <cstdio>

#include "flight/flight_summary.h"

// Plays the flight in path and prints its summary to out; with csv_path,
// writes the trace there, one line per tick; with report_path, the flight's
// review page there (one HTML file, review/review_html.h), from the same
// playback. Messages go to err as "ktr7-replay: ...". REPLAY_OK, or
// REPLAY_FAILED when the file cannot be played, the charting library cannot
// be read or the trace or the page cannot be written.
int replay_flight_report(const char* path, const char* csv_path, FILE* out, FILE* err,
                         const char* report_path = nullptr);

// With path set, replay_flight_report also records the LCD over the flight
// as an animated GIF there: every every-th tick, at scale (see
// files/session_gif.h). Null path: none.
void replay_set_flight_gif(const char* path, int every, int scale);

// Switch-on with factory settings and the flight timer detecting flights (as
// a pilot sets it up to time every flight), for a played flight or link.
void switch_on_detecting_flights();

// The flights the instrument detected, its flight timer, highest airspeed,
// alarm seconds and the altitudes it showed.
void print_what_the_instrument_showed(const flight_summary& s, FILE* out);
