// Recorded flights in the web page: the same reader, model and playback as
// the window and the replay tool, compiled in. The page reads the file the
// user opened (and, for GPX, its XML with the browser's parser); what the
// text is, and every rule of playing it, is the shared code's.
#include "web/web_flight.h"

#include <string_view>
#include <vector>

#include "flight/flight.h"
#include "flight/flight_format.h"
#include "flight/flight_sample.h"
#include "flight/igc_reader.h"
#include "session/session.h"
#include "web/web_main.h"

namespace {

struct web_flight_state {
    std::unique_ptr<flight> read;    // read, not yet opened or lent
    std::vector<track_point> track;  // points handed over so far
    std::string message;
    size_t profile_hint = 0;
};

web_flight_state flights;

// What the session tells of the flight, kept for the page to show: its
// notices, and each flight opened or closed.
class flight_news final : public session_observer {
public:
    flight_news() { page_session().add_observer(this); }

    void session_notice(const char* text) override
    {
        notice = text;
        notices++;
    }

    void session_flight_changed() override
    {
        session_flight& f = page_session().flight();
        const flight* now = f.is_open() ? &f.recorded() : nullptr;
        if (now != open) {
            open = now;
            openings++;
        }
    }

    std::string notice;
    int notices = 0;
    const flight* open = nullptr;
    int openings = 0;
};

flight_news news;

int took(std::unique_ptr<flight> read, bool ok, const std::string& why, const char* name)
{
    if (!ok) {
        flights.read.reset();
        flights.message = std::string(name) + ": " + why;
        return WEB_FLIGHT_UNPLAYABLE;
    }
    flights.message = flight_skip_warning(*read, name);
    flights.read = std::move(read);
    return WEB_FLIGHT_READ;
}

session_flight& played()
{
    return page_session().flight();
}

const flight* open_flight()
{
    return played().is_open() ? &played().recorded() : nullptr;
}

}  // namespace

std::unique_ptr<flight> take_read_flight()
{
    return std::move(flights.read);
}

extern "C" {

int web_flight_read(const char* text, int length, const char* name)
{
    const std::string_view log(text, length > 0 ? size_t(length) : 0);
    std::string why;
    switch (flight_format_of(log, name)) {
    case flight_format::empty: why = "it is empty"; break;
    case flight_format::gpx:
        flights.track.clear();
        return WEB_FLIGHT_GPX_POINTS;
    case flight_format::igc: {
        auto read = std::make_unique<flight>();
        const bool ok = read_igc(log, *read, why);
        return took(std::move(read), ok, why, name);
    }
    case flight_format::nmea:
    case flight_format::other: why = "it is not an IGC or GPX flight log"; break;
    }
    return took(nullptr, false, why, name);
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
    return took(std::move(read), ok, why, name);
}

const char* web_flight_message()
{
    return flights.message.c_str();
}

void web_flight_fly_read()
{
    if (!flights.read)
        return;
    flights.profile_hint = 0;
    played().open(std::move(flights.read));
    played().play();
}

int web_flight_loaded()
{
    return played().is_open() ? 1 : 0;
}

void web_flight_close()
{
    played().close();
    flights.message.clear();
}

void web_flight_play()
{
    played().play();
}

void web_flight_pause()
{
    played().pause();
}

int web_flight_playing()
{
    return played().playing() ? 1 : 0;
}

int web_flight_speed_count()
{
    return int(FLIGHT_SPEEDS.size());
}

int web_flight_speed_at(int i)
{
    return i >= 0 && size_t(i) < FLIGHT_SPEEDS.size() ? FLIGHT_SPEEDS[size_t(i)] : 0;
}

int web_flight_set_speed(int times_real_time)
{
    return played().set_speed(times_real_time) ? 1 : 0;
}

int web_flight_speed()
{
    return played().speed();
}

const char* web_flight_pilot()
{
    const flight* f = open_flight();
    return f ? f->pilot.c_str() : "";
}

int web_flight_date()
{
    const flight* f = open_flight();
    return f && f->year > 0 ? f->year * 10000 + f->month * 100 + f->day : 0;
}

const char* web_flight_airspeed_source()
{
    const flight* f = open_flight();
    return f ? airspeed_source_name(f->airspeed_from) : "";
}

double web_flight_start_time()
{
    const flight* f = open_flight();
    return f ? f->start_time() : 0.0;
}

double web_flight_end_time()
{
    const flight* f = open_flight();
    return f ? f->end_time() : 0.0;
}

double web_flight_time()
{
    return played().time();
}

int web_flight_at_end()
{
    return played().at_end() ? 1 : 0;
}

void web_flight_seek(double time)
{
    played().seek(time);
}

double web_flight_altitude_ft(double time)
{
    const flight* f = open_flight();
    return f ? sample_flight(*f, time, flights.profile_hint).altitude_ft : 0.0;
}

const char* web_flight_notice()
{
    return news.notice.c_str();
}

int web_flight_notices()
{
    return news.notices;
}

int web_flight_openings()
{
    return news.openings;
}

}  // extern "C"
