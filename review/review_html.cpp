#include "review/review_html.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "core/state.h"
#include "flight/flight_player.h"
#include "host/time_base.h"
#include "review/review_page_script.h"

namespace {

// Each LCD pixel 2 x 2 in the page's pictures.
constexpr int PICTURE_SCALE = 2;
// The VSI's metres a second per foot a minute.
constexpr double MS_PER_FPM = 0.00508;

std::string escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A script or style sheet inlined: nothing in it may close its element
// early, and the pointer to its source map (not in the page) goes.
std::string inlined(std::string text, const std::string& closing)
{
    for (size_t at = 0; (at = text.find("</", at)) != text.npos; at += 2) {
        std::string next = text.substr(at + 2, closing.size());
        std::transform(next.begin(), next.end(), next.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (next == closing)
            text.replace(at, 2, "<\\/");
    }
    for (const char* map : {"//# sourceMappingURL=", "/*# sourceMappingURL="}) {
        const size_t at = text.find(map);
        if (at != text.npos) {
            const size_t end = text.find('\n', at);
            text.erase(at, end == text.npos ? text.npos : end - at);
        }
    }
    return text;
}

// A number with at most decimals decimals, without trailing zeros.
std::string number(double value, int decimals)
{
    char text[48];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s.find('.') != s.npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.')
            s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string duration_text(double seconds)
{
    const long long s = std::llround(seconds);
    char text[32];
    snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

// "10:01:07.8": a tick's time of day.
std::string tick_time(double time)
{
    const double tenths = std::floor(std::fmod(time, 1.0) * TICKS_PER_SECOND + 1e-6);
    return flight_time_of_day(time) + "." + std::to_string(int(tenths));
}

void add_series(std::string& out, const char* name, const std::vector<series_point>& points, double scale,
                int decimals)
{
    out += '"';
    out += name;
    out += "\":[";
    for (size_t i = 0; i < points.size(); i++) {
        if (i > 0)
            out += ',';
        out += number(points[i].time, 1);
        out += ',';
        out += number(points[i].value * scale, decimals);
    }
    out += "],\n";
}

template <size_t N, size_t W>
const char* name_of(const char (&names)[N][W], unsigned value)
{
    return names[std::min<size_t>(value, N - 1)];
}

std::string data_script(const flight_review& r)
{
    const bool ms = r.vsi_unit == 1;
    std::string out = "var REVIEW = {\n";
    if (r.log.year != 0)
        out += "\"date\":[" + std::to_string(r.log.year) + "," + std::to_string(r.log.month) + "," +
               std::to_string(r.log.day) + "],\n";
    else
        out += "\"date\":null,\n";
    out += "\"altitude_unit\":\"" + std::string(name_of(altitude_unit_names, r.altitude_unit)) + "\",\n";
    out += "\"speed_unit\":\"" + std::string(name_of(asi_unit_names, r.asi_unit)) + "\",\n";
    out += "\"vsi_unit\":\"" + std::string(name_of(vsi_unit_names, r.vsi_unit)) + "\",\n";
    out += std::string("\"logged_name\":\"") +
           (r.log.altitude_from == altitude_source::pressure ? "logged pressure altitude" : "logged GNSS altitude") +
           "\",\n";
    out += "\"limits\":{\"vne\":" + std::to_string(r.speed_limits[VNE]) + ",\"vno\":" +
           std::to_string(r.speed_limits[VNO]) + ",\"vfe\":" + std::to_string(r.speed_limits[VFE]) +
           ",\"vs1\":" + std::to_string(r.speed_limits[VS1]) + ",\"vs0\":" + std::to_string(r.speed_limits[VS0]) +
           "},\n";
    std::string takeoffs, landings;
    for (const detected_flight& d : r.shown.flights) {
        takeoffs += (takeoffs.empty() ? "" : ",") + number(d.takeoff, 1);
        if (d.landed)
            landings += (landings.empty() ? "" : ",") + number(d.landing, 1);
    }
    out += "\"takeoffs\":[" + takeoffs + "],\n\"landings\":[" + landings + "],\n";
    out += "\"alarms\":[";
    for (size_t i = 0; i < r.alarms.size(); i++) {
        const alarm_period& a = r.alarms[i];
        out += (i > 0 ? "," : "") + std::string("[") + number(a.start, 1) + "," + number(a.end, 1) +
               (a.kind == alarm_kind::overspeed ? ",\"overspeed\"]" : ",\"stall\"]");
    }
    out += "],\n";
    add_series(out, "altitude", r.altitude, 1.0, 0);
    add_series(out, "logged_altitude", r.logged_altitude, 1.0, 1);
    add_series(out, "vertical_speed", r.vertical_speed, ms ? MS_PER_FPM : 1.0, ms ? 2 : 0);
    add_series(out, "airspeed", r.airspeed, 1.0, 0);
    out += "\"end\":true};\n";
    return out;
}

void row(std::string& out, const std::string& name, const std::string& value_html)
{
    out += "<tr><th>" + escaped(name) + "</th><td>" + value_html + "</td></tr>\n";
}

std::string summary_table(const flight_review& r)
{
    const review_log& log = r.log;
    const flight_summary& s = r.shown;
    std::string out = "<table>\n";
    char text[160];
    if (log.year != 0) {
        snprintf(text, sizeof text, "%04d-%02d-%02d", log.year, log.month, log.day);
        row(out, "Date", text);
    }
    if (!log.pilot.empty())
        row(out, "Pilot", escaped(log.pilot));
    if (!log.glider.empty())
        row(out, "Glider", escaped(log.glider));
    snprintf(text, sizeof text, "%zu fixes (%ld invalid), %s to %s UTC (%s)", log.fixes, log.invalid_fixes,
             flight_time_of_day(log.start).c_str(), flight_time_of_day(log.end).c_str(),
             duration_text(log.end - log.start).c_str());
    row(out, "Log", text);
    row(out, "Skipped", log.skipped.empty() ? "nothing" : escaped(log.skipped));
    row(out, "Altitude from", altitude_source_name(log.altitude_from));
    row(out, "Airspeed from", airspeed_source_name(log.airspeed_from));
    if (log.vario_logged) {
        row(out, "Vertical speed from", "the logged vario (VAT)");
    } else {
        snprintf(text, sizeof text, "the altitude trace, %.0f s lag", VSI_LAG_SECONDS);
        row(out, "Vertical speed from", text);
    }
    std::string flights = std::to_string(s.flights.size());
    for (const detected_flight& d : s.flights) {
        flights += "<br>take-off " + flight_time_of_day(d.takeoff);
        if (d.landed)
            flights += ", landing " + flight_time_of_day(d.landing) + " (" + duration_text(d.landing - d.takeoff) + ")";
        else
            flights += ", still flying at the end of the log";
    }
    row(out, "Flights detected", flights);
    snprintf(text, sizeof text, "%u:%02u:%02u", s.timer_hours, s.timer_minutes, s.timer_seconds);
    row(out, "Flight timer", text);
    row(out, "Highest airspeed", std::to_string(s.max_airspeed) + " " + name_of(asi_unit_names, s.asi_unit));
    snprintf(text, sizeof text, "%.1f s", double(s.overspeed_ticks) / TICKS_PER_SECOND);
    row(out, "Overspeed alarm", text);
    snprintf(text, sizeof text, "%.1f s", double(s.stall_ticks) / TICKS_PER_SECOND);
    row(out, "Stall alarm", text);
    snprintf(text, sizeof text, "%d to %d %s", s.lowest_altitude, s.highest_altitude,
             name_of(altitude_unit_names, s.altitude_unit));
    row(out, "Altitude shown", text);
    return out + "</table>\n";
}

std::string moments_html(const flight_review& r, review_picture_writer pictures)
{
    if (r.moments.empty())
        return "<p>No tick of the flight was played.</p>\n";
    std::string out = "<div class=\"moments\">\n";
    std::string uri, why;
    for (const review_moment& m : r.moments) {
        const std::string what = escaped(m.what);
        out += "<figure data-time=\"" + number(m.time, 1) + "\">";
        if (pictures(m.frame.data(), PICTURE_SCALE, uri, why))
            out += "<img alt=\"The LCD at " + what + "\" width=\"" + std::to_string(LCD_WIDTH * PICTURE_SCALE) +
                   "\" height=\"" + std::to_string(LCD_HEIGHT * PICTURE_SCALE) + "\" src=\"" + escaped(uri) + "\">";
        else
            out += "<p>(no picture: " + escaped(why) + ")</p>";
        out += "<figcaption><time>" + tick_time(m.time) + "</time> " + what + "</figcaption></figure>\n";
    }
    return out + "</div>\n";
}

std::string settings_table(const flight_review& r)
{
    std::string out = "<table>\n<tr><th>page</th><th>row</th><th>value</th></tr>\n";
    for (const review_setting& s : r.settings)
        out += "<tr><td>" + escaped(s.page) + "</td><td>" + escaped(s.name) + "</td><td>" + escaped(s.value) +
               "</td></tr>\n";
    return out + "</table>\n";
}

std::string swatch(const char* colour, const char* what)
{
    return std::string("<span class=\"key-item\"><span class=\"swatch\" style=\"background:") + colour +
           "\"></span>" + what + "</span> ";
}

}  // namespace

std::string review_html(const flight_review& r, const std::string& flight_name, const std::string& made_by,
                        const review_page_library& library, review_picture_writer pictures)
{
    const std::string name = escaped(flight_name);
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    out += "<title>Flight review: " + name + "</title>\n";
    out += "<style>\n" + inlined(library.style, "style") + "\n</style>\n";
    out += "<style>" + std::string(REVIEW_PAGE_STYLE) + "</style>\n";
    out += "<script>\n" + inlined(library.script, "script") + "\n</script>\n";
    out += "</head>\n<body>\n";
    out += "<h1>Flight review</h1>\n<p class=\"log-name\">" + name + "</p>\n";
    out += "<h2>Summary</h2>\n" + summary_table(r);

    const std::string speed = name_of(asi_unit_names, r.asi_unit);
    out += "<h2 id=\"plots\">What the instrument showed</h2>\n";
    out += "<p class=\"hint\">Drag across a plot to zoom in, shift-drag (or two fingers) to pan, double-click to "
           "zoom out; the plots keep one time window. The times are UTC.</p>\n";
    out += "<div class=\"key\">" + swatch("rgba(214, 40, 40, 0.45)", "overspeed alarm") +
           swatch("rgba(128, 60, 200, 0.45)", "stall alarm") + swatch("#1b7f3b", "take-off") +
           swatch("#1f4f9a", "landing") + "</div>\n";
    out += "<div id=\"altitude-plot\" class=\"plot\"></div><div id=\"altitude-plot-legend\" class=\"legend\"></div>\n";
    out += "<div id=\"vsi-plot\" class=\"plot\"></div><div id=\"vsi-plot-legend\" class=\"legend\"></div>\n";
    out += "<div id=\"airspeed-plot\" class=\"plot\"></div><div id=\"airspeed-plot-legend\" class=\"legend\"></div>\n";
    out += "<div class=\"key\">ASI bands: " +
           swatch("rgba(214, 40, 40, 0.25)", ("stall, below Vs1 " + std::to_string(r.speed_limits[VS1]) + " " + speed).c_str()) +
           swatch("rgba(240, 190, 0, 0.45)", ("caution, Vno " + std::to_string(r.speed_limits[VNO]) + " to Vne " +
                                              std::to_string(r.speed_limits[VNE]) + " " + speed).c_str()) +
           swatch("rgba(214, 40, 40, 0.40)", ("overspeed, above Vne " + std::to_string(r.speed_limits[VNE]) + " " + speed).c_str()) +
           "</div>\n";

    out += "<h2>The LCD at the moments that matter</h2>\n";
    out += "<p class=\"hint\">Click a picture to see its minute in the plots.</p>\n";
    out += moments_html(r, pictures);
    out += "<h2>Settings the flight was played with</h2>\n" + settings_table(r);
    out += "<footer>Made by " + escaped(made_by) + ".</footer>\n";
    out += "<script>\n" + data_script(r) + "</script>\n";
    out += "<script>" + std::string(REVIEW_PAGE_SCRIPT) + "</script>\n";
    out += "</body>\n</html>\n";
    return out;
}
