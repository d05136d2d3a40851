#include "replay/replay_flight.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/flight_timer.h"
#include "core/state.h"
#include "files/session_gif.h"
#include "flight/flight_file.h"
#include "flight/flight_player.h"
#include "flight/flight_summary.h"
#include "host/version.h"
#include "replay/replay.h"
#include "review/review_html.h"
#include "review/review_library_files.h"
#include "review/review_png.h"
#include "review/review_recorder.h"
#include "session/session.h"

namespace {

std::string duration_text(double seconds)
{
    const long long s = std::llround(seconds);
    char text[32];
    snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

void print_summary(const flight& f, const char* path, const flight_summary& s, FILE* out)
{
    fprintf(out, "flight: %s\n", path);
    if (f.year != 0)
        fprintf(out, "date: %04d-%02d-%02d\n", f.year, f.month, f.day);
    if (!f.pilot.empty())
        fprintf(out, "pilot: %s\n", f.pilot.c_str());
    if (!f.glider.empty())
        fprintf(out, "glider: %s\n", f.glider.c_str());
    fprintf(out, "log: %zu fixes (%ld invalid), %s to %s UTC (%s)\n", f.fixes.size(), f.invalid_fixes,
            flight_time_of_day(f.start_time()).c_str(), flight_time_of_day(f.end_time()).c_str(),
            duration_text(f.duration()).c_str());
    fprintf(out, "altitude from: %s\n", altitude_source_name(f.altitude_from));
    fprintf(out, "airspeed from: %s\n", airspeed_source_name(f.airspeed_from));
    if (f.vario_logged)
        fprintf(out, "vertical speed from: the logged vario (VAT)\n");
    else
        fprintf(out, "vertical speed from: the altitude trace, %.0f s lag\n", VSI_LAG_SECONDS);
    print_what_the_instrument_showed(s, out);
}

void csv_row(FILE* csv, double time, const flight_inputs& in)
{
    fprintf(csv, "%.1f,%d,%d,%d,%u,%u,%u,%d\n", time, in.altitude, in.vertical_speed, in.asi_adc, st.airspeed,
            st.alarm_active & ALARM_BIT, st.flight_active, st.encoder_altitude);
}

}  // namespace

void print_what_the_instrument_showed(const flight_summary& s, FILE* out)
{
    fprintf(out, "flights detected: %zu\n", s.flights.size());
    for (const detected_flight& d : s.flights) {
        if (d.landed)
            fprintf(out, "  take-off %s, landing %s (%s)\n", flight_time_of_day(d.takeoff).c_str(),
                    flight_time_of_day(d.landing).c_str(), duration_text(d.landing - d.takeoff).c_str());
        else
            fprintf(out, "  take-off %s, still flying at the end of the log\n", flight_time_of_day(d.takeoff).c_str());
    }
    fprintf(out, "flight timer: %u:%02u:%02u\n", s.timer_hours, s.timer_minutes, s.timer_seconds);
    fprintf(out, "highest airspeed: %u %s\n", s.max_airspeed, asi_unit_names[s.asi_unit]);
    fprintf(out, "overspeed alarm: %.1f s\n", double(s.overspeed_ticks) / TICKS_PER_SECOND);
    fprintf(out, "stall alarm: %.1f s\n", double(s.stall_ticks) / TICKS_PER_SECOND);
    fprintf(out, "altitude shown: %d to %d %s\n", s.lowest_altitude, s.highest_altitude,
            altitude_unit_names[s.altitude_unit]);
}

namespace {

struct flight_gif_options {
    const char* path = nullptr;
    int every = 1;
    int scale = 1;
} flight_gif;

}  // namespace

void replay_set_flight_gif(const char* path, int every, int scale)
{
    flight_gif = {path, every, scale};
}

void switch_on_detecting_flights()
{
    // Factory settings, but with the flight timer detecting flights (the
    // factory's MANUAL mode would time none): what a pilot sets up to have
    // the instrument time every flight.
    instrument_session& session = replay_session();
    session.switch_on();
    session.activate();
    st.flight_timer_mode = TIMER_MODE_DETECT;
}

namespace {

using report_file = std::unique_ptr<FILE, int (*)(FILE*)>;

// The page into the file opened before the flight was played; a page not
// written whole is removed.
bool write_report(const std::string& page, report_file file, const char* report_path, FILE* err)
{
    const bool written = fwrite(page.data(), 1, page.size(), file.get()) == page.size();
    const int error = errno;
    if (!written | (fclose(file.release()) != 0)) {
        fprintf(err, "ktr7-replay: %s: cannot write: %s\n", report_path, strerror(written ? errno : error));
        remove(report_path);
        return false;
    }
    return true;
}

}  // namespace

int replay_flight_report(const char* path, const char* csv_path, FILE* out, FILE* err, const char* report_path)
{
    replay_reset();
    flight recorded;
    std::string error, warning;
    if (!read_flight_file(path, recorded, error, warning)) {
        fprintf(err, "ktr7-replay: %s\n", error.c_str());
        return REPLAY_FAILED;
    }
    if (!warning.empty())
        fprintf(err, "ktr7-replay: warning: %s\n", warning.c_str());
    // The charting library first: a report that cannot be made is told
    // before the flight is played, not after.
    review_page_library library;
    std::string why;
    if (report_path != nullptr && !read_review_library(review_library_folder(), library, why)) {
        fprintf(err, "ktr7-replay: %s\n", why.c_str());
        return REPLAY_FAILED;
    }
    // The animation's file too, which follows the session from here on.
    std::unique_ptr<session_gif> gif;
    if (flight_gif.path != nullptr) {
        gif = std::make_unique<session_gif>(replay_session(), flight_gif.path, flight_gif.scale, flight_gif.every);
        if (!gif->is_open()) {
            fprintf(err, "ktr7-replay: %s: cannot write: %s\n", flight_gif.path, gif->why().c_str());
            return REPLAY_FAILED;
        }
    }
    FILE* csv = nullptr;
    if (csv_path != nullptr) {
        csv = fopen(csv_path, "w");
        if (csv == nullptr) {
            fprintf(err, "ktr7-replay: %s: cannot write: %s\n", csv_path, strerror(errno));
            return REPLAY_FAILED;
        }
        fputs("time,altitude_input,vsi_input,asi_input,airspeed_shown,alarm,flight_active,encoder_altitude\n", csv);
    }

    // The page's file is opened now, so that one that cannot be written is
    // told before the flight is played.
    report_file report(report_path != nullptr ? fopen(report_path, "wb") : nullptr, fclose);
    if (report_path != nullptr && report == nullptr) {
        fprintf(err, "ktr7-replay: %s: cannot write: %s\n", report_path, strerror(errno));
        if (csv != nullptr)
            fclose(csv);
        return REPLAY_FAILED;
    }

    switch_on_detecting_flights();
    instrument_session& session = replay_session();
    session.flight().open(std::make_unique<flight>(std::move(recorded)));
    const flight_player& player = session.flight().player();
    // The summary and the report are both what this one playback showed.
    review_recorder recorder(session);
    while (!player.at_end()) {
        const double time = player.time();
        session.fly(1, NO_DISPLAY);
        if (csv != nullptr)
            csv_row(csv, time, player.inputs());
    }
    std::string gif_why;
    const bool gif_written = gif == nullptr || gif->finish(gif_why);
    session.switch_off();
    if (csv != nullptr && (ferror(csv) != 0) | (fclose(csv) != 0)) {
        fprintf(err, "ktr7-replay: %s: cannot write: %s\n", csv_path, strerror(errno));
        return REPLAY_FAILED;
    }
    if (!gif_written) {
        fprintf(err, "ktr7-replay: %s: cannot write: %s\n", flight_gif.path, gif_why.c_str());
        return REPLAY_FAILED;
    }
    print_summary(session.flight().recorded(), path, recorder.summary(), out);
    if (report_path != nullptr) {
        const std::string page =
            review_html(recorder.review(), path, "ktr7-replay " KTR7_VERSION, library, review_png_data_uri);
        if (!write_report(page, std::move(report), report_path, err))
            return REPLAY_FAILED;
        fprintf(out, "report: %s\n", report_path);
    }
    if (gif != nullptr)
        fprintf(out, "gif: %s (%ld frames)\n", flight_gif.path, gif->frames());
    return REPLAY_OK;
}
