// Recorded flights in the web page: the same reader, model and playback as
// the window and the replay tool, compiled in. The page reads the file the
// user opened (IGC as text, GPX through the browser's XML parser as a list
// of points) and steps the flight from its run loop.
#include "web/web_flight.h"

#include <memory>
#include <string>
#include <vector>

#include "flight/flight.h"
#include "flight/flight_player.h"
#include "flight/flight_sample.h"
#include "flight/igc_reader.h"
#include "host/pass.h"
#include "web/web_main.h"

namespace {

struct web_flight_state {
    std::unique_ptr<flight> recorded;
    std::unique_ptr<flight_player> player;
    std::vector<track_point> track;  // points handed over so far
    std::string message;
    size_t profile_hint = 0;
};

web_flight_state flights;

// The flight's inputs at its current time written, for the sliders to
// show, without starting the VSI's lag: the next tick starts it there, as
// a flight played from this time in the replay tool does.
void write_inputs_here()
{
    flights.player->write_inputs();
    flights.player->seek(flights.player->time());
}

// Takes a flight that was read, or keeps the one there is when it cannot
// be played.
int take(std::unique_ptr<flight> read, bool ok, const std::string& why, const char* name)
{
    if (!ok) {
        flights.message = std::string(name) + ": " + why;
        return 0;
    }
    flights.message = flight_skip_warning(*read, name);
    flights.recorded = std::move(read);
    flights.player = std::make_unique<flight_player>(*flights.recorded);
    flights.profile_hint = 0;
    write_inputs_here();
    return 1;
}

}  // namespace

extern "C" {

int web_flight_read_igc(const char* text, int length, const char* name)
{
    const std::string_view log(text, length > 0 ? size_t(length) : 0);
    auto read = std::make_unique<flight>();
    std::string why = "it is not an IGC or GPX flight log";
    const bool ok = looks_like_igc(log) && read_igc(log, *read, why);
    return take(std::move(read), ok, why, name);
}

void web_flight_track_clear()
{
    flights.track.clear();
}

void web_flight_track_point(double unix_time, double altitude_m, double speed_ms, double latitude, double longitude,
                            int line)
{
    track_point point;
    point.unix_time = unix_time;
    point.altitude_m = altitude_m;
    point.speed_ms = speed_ms;
    point.latitude = latitude;
    point.longitude = longitude;
    point.line = line;
    flights.track.push_back(point);
}

int web_flight_track_done(const char* name)
{
    auto read = std::make_unique<flight>();
    std::string why;
    const bool ok = flight_from_track(flights.track, *read, why);
    flights.track.clear();
    flights.track.shrink_to_fit();
    return take(std::move(read), ok, why, name);
}

const char* web_flight_message()
{
    return flights.message.c_str();
}

int web_flight_loaded()
{
    return flights.player ? 1 : 0;
}

void web_flight_close()
{
    flights.player.reset();
    flights.recorded.reset();
    flights.message.clear();
}

const char* web_flight_pilot()
{
    return flights.recorded ? flights.recorded->pilot.c_str() : "";
}

int web_flight_date()
{
    const flight* f = flights.recorded.get();
    return f && f->year > 0 ? f->year * 10000 + f->month * 100 + f->day : 0;
}

const char* web_flight_airspeed_source()
{
    return flights.recorded ? airspeed_source_name(flights.recorded->airspeed_from) : "";
}

double web_flight_start_time()
{
    return flights.recorded ? flights.recorded->start_time() : 0.0;
}

double web_flight_end_time()
{
    return flights.recorded ? flights.recorded->end_time() : 0.0;
}

double web_flight_time()
{
    return flights.player ? flights.player->time() : 0.0;
}

int web_flight_at_end()
{
    return !flights.player || flights.player->at_end() ? 1 : 0;
}

double web_flight_ticks_left()
{
    return flights.player ? double(flights.player->ticks_left()) : 0.0;
}

void web_flight_seek(double time)
{
    if (!flights.player)
        return;
    flights.player->seek(time);
    write_inputs_here();
}

double web_flight_altitude_ft(double time)
{
    if (!flights.recorded)
        return 0.0;
    return sample_flight(*flights.recorded, time, flights.profile_hint).altitude_ft;
}

int web_flight_tick()
{
    if (!flights.player)
        return 0;
    if (!web_running()) {
        // Switched off: the flight goes on, its values reach the inputs.
        flights.player->write_inputs();
        host_timer_tick();
        flights.player->seek(flights.player->time() + TICK_SECONDS);
        return 0;
    }
    flights.player->tick(web_host_io());
    web_count_pass();
    return 1;
}

int web_flight_input(int which)
{
    if (!flights.player)
        return 0;
    const flight_inputs& in = flights.player->inputs();
    return which == 0 ? in.altitude : which == 1 ? in.vertical_speed : in.asi_adc;
}

}  // extern "C"
