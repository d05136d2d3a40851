// Recorded flights in the web page: an IGC log's text or a GPX track's
// points (read by the page) become the flight that drives the three inputs,
// played one 100 ms tick at a time, each tick with its pass.
#pragma once

extern "C" {

// Reads an IGC log (length bytes of text); 1 when it can be played. name is
// the file's name for the messages.
int web_flight_read_igc(const char* text, int length, const char* name);

// A track's points, one at a time, then web_flight_track_done: 1 when it
// can be played. Unknown values are NaN.
void web_flight_track_clear();
void web_flight_track_point(double unix_time, double altitude_m, double speed_ms, double latitude, double longitude,
                            int line);
int web_flight_track_done(const char* name);

// Why the last read failed, or the warning about skipped records; "" when
// there is nothing to say.
const char* web_flight_message();

int web_flight_loaded();
void web_flight_close();

// From the log's header: the pilot ("" when not given) and the date as
// YYYYMMDD (0 when not given); the source of the airspeed ("IAS", ...).
const char* web_flight_pilot();
int web_flight_date();
const char* web_flight_airspeed_source();

// Flight times, seconds since midnight UTC of the flight's date.
double web_flight_start_time();
double web_flight_end_time();
double web_flight_time();  // of the next tick
int web_flight_at_end();
// Ticks until the last fix has been played.
double web_flight_ticks_left();
// Moves to a time and writes the flight's inputs there.
void web_flight_seek(double time);
// The altitude of the flight at a time, feet (for the profile).
double web_flight_altitude_ft(double time);

// One tick of flight: the inputs, the timer and, while the instrument is on,
// a pass. 1 when a pass ran.
int web_flight_tick();
// The input positions the last tick wrote, numbered as the sliders.
int web_flight_input(int which);
}
