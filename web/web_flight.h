// Recorded flights in the web page: the log the user chose (or a scenario's
// "flight" names) read with the one rule every host reads flights by, and
// played by the page's session, which ticks it on the page's clock.
#pragma once
#include <memory>

struct flight;

extern "C" {

// What web_flight_read found.
enum web_flight_read_result { WEB_FLIGHT_UNPLAYABLE = 0, WEB_FLIGHT_READ = 1, WEB_FLIGHT_GPX_POINTS = 2 };

// Reads a flight log (length bytes of text; name for the messages). An IGC
// log is read here; a GPX track wants its points, which the page reads with
// the browser's XML parser and hands over one at a time
// (web_flight_track_point), then web_flight_track_done: WEB_FLIGHT_READ
// when it can be played.
int web_flight_read(const char* text, int length, const char* name);
void web_flight_track_clear();
void web_flight_track_point(double unix_time, double altitude_m, double speed_ms, double latitude, double longitude,
                            int line);
int web_flight_track_done(const char* name);

// Why the last read failed, or the warning about skipped records; "" when
// there is nothing to say.
const char* web_flight_message();

// The flight read last, opened at its first fix and played: the instrument
// is switched on if it is off.
void web_flight_fly_read();
int web_flight_loaded();
void web_flight_close();

// Play and pause, and the speeds it may be played at (times real time).
void web_flight_play();
void web_flight_pause();
int web_flight_playing();
int web_flight_speed_count();
int web_flight_speed_at(int i);
int web_flight_set_speed(int times_real_time);
int web_flight_speed();

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
// Moves to a time; while on, the inputs take the flight's values there.
void web_flight_seek(double time);
// The altitude of the flight at a time, feet (for the profile).
double web_flight_altitude_ft(double time);

// What the session last told about the flight ("Flight paused: ..."), and
// how many such notices there have been.
const char* web_flight_notice();
int web_flight_notices();
// Counts every flight opened and every close: the page's flight bar shows
// the flight anew when it changes.
int web_flight_openings();
}

// The flight read last, taken for a scenario's "flight" line; null when the
// last read failed.
std::unique_ptr<flight> take_read_flight();
