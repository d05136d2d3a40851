#include "flight/gpx_reader.h"

#include <expat.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// expat takes a length in an int: longer texts go in pieces.
constexpr size_t PIECE = size_t(1) << 30;

enum class text_field { none, ele, time, speed };

struct reader {
    XML_Parser parser = nullptr;
    bool root_seen = false;
    bool root_is_gpx = false;
    int track_depth = 0;  // inside trk
    bool in_point = false;
    bool point_ok = false;
    text_field field = text_field::none;
    std::string text;
    track_point point;
    std::vector<track_point> points;
    std::vector<long> bad_lines;
};

std::string_view local_name(const XML_Char* name)
{
    const char* colon = strrchr(name, ':');
    return colon != nullptr ? std::string_view(colon + 1) : std::string_view(name);
}

bool parse_double(const char* text, double& value)
{
    char* end = nullptr;
    value = strtod(text, &end);
    while (end != nullptr && (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r'))
        end++;
    return end != text && end != nullptr && *end == '\0' && std::isfinite(value);
}

void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes)
{
    reader& r = *static_cast<reader*>(data);
    const std::string_view element = local_name(name);
    if (!r.root_seen) {
        r.root_seen = true;
        r.root_is_gpx = element == "gpx";
        if (!r.root_is_gpx)
            XML_StopParser(r.parser, XML_FALSE);
        return;
    }
    if (element == "trk") {
        r.track_depth++;
        return;
    }
    if (r.track_depth > 0 && element == "trkpt" && !r.in_point) {
        r.in_point = true;
        r.point = track_point{};
        r.point.line = long(XML_GetCurrentLineNumber(r.parser));
        bool lat = false, lon = false;
        for (const XML_Char** a = attributes; a[0] != nullptr; a += 2) {
            if (strcmp(a[0], "lat") == 0)
                lat = parse_double(a[1], r.point.latitude) && std::fabs(r.point.latitude) <= 90.0;
            else if (strcmp(a[0], "lon") == 0)
                lon = parse_double(a[1], r.point.longitude) && std::fabs(r.point.longitude) <= 180.0;
        }
        r.point_ok = lat && lon;
        r.point.unix_time = FLIGHT_UNKNOWN;
        return;
    }
    if (r.in_point) {
        r.field = element == "ele" ? text_field::ele : element == "time" ? text_field::time
                  : element == "speed"                                   ? text_field::speed
                                                                         : text_field::none;
        r.text.clear();
    }
}

void XMLCALL end(void* data, const XML_Char* name)
{
    reader& r = *static_cast<reader*>(data);
    const std::string_view element = local_name(name);
    if (element == "trk" && r.track_depth > 0) {
        r.track_depth--;
        return;
    }
    if (r.in_point && element == "trkpt") {
        r.in_point = false;
        if (r.point_ok && std::isfinite(r.point.unix_time))
            r.points.push_back(r.point);
        else
            r.bad_lines.push_back(r.point.line);
        return;
    }
    if (!r.in_point || r.field == text_field::none)
        return;
    double value;
    switch (r.field) {
    case text_field::ele:
        if (parse_double(r.text.c_str(), value))
            r.point.altitude_m = value;
        break;
    case text_field::speed:
        if (parse_double(r.text.c_str(), value))
            r.point.speed_ms = value;
        break;
    case text_field::time: r.point.unix_time = parse_gpx_time(r.text); break;
    case text_field::none: break;
    }
    r.field = text_field::none;
}

void XMLCALL characters(void* data, const XML_Char* s, int length)
{
    reader& r = *static_cast<reader*>(data);
    if (r.in_point && r.field != text_field::none)
        r.text.append(s, size_t(length));
}

int number(std::string_view text, size_t at, size_t count, bool& ok)
{
    int value = 0;
    if (at + count > text.size()) {
        ok = false;
        return 0;
    }
    for (size_t i = at; i < at + count; i++) {
        if (text[i] < '0' || text[i] > '9')
            ok = false;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

double parse_gpx_time(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\n' || t.front() == '\r' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\n' || t.back() == '\r' || t.back() == '\t'))
        t.remove_suffix(1);
    // YYYY-MM-DDTHH:MM:SS
    bool ok = t.size() >= 19 && t[4] == '-' && t[7] == '-' && (t[10] == 'T' || t[10] == ' ') && t[13] == ':' &&
              t[16] == ':';
    const int year = number(t, 0, 4, ok), month = number(t, 5, 2, ok), day = number(t, 8, 2, ok);
    const int hour = number(t, 11, 2, ok), minute = number(t, 14, 2, ok), second = number(t, 17, 2, ok);
    if (!ok || !civil_date_exists(year, month, day) || hour > 23 || minute > 59 || second > 60)
        return FLIGHT_UNKNOWN;
    double seconds = double(days_from_civil(year, month, day)) * SECONDS_PER_DAY + hour * SECONDS_PER_HOUR +
                     minute * SECONDS_PER_MINUTE + second;
    size_t at = 19;
    if (at < t.size() && t[at] == '.') {
        double scale = 0.1;
        for (at++; at < t.size() && t[at] >= '0' && t[at] <= '9'; at++, scale /= 10)
            seconds += (t[at] - '0') * scale;
    }
    const std::string_view zone = t.substr(at);
    if (zone.empty() || zone == "Z")
        return seconds;
    bool zone_ok = zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && zone[3] == ':';
    const int zh = number(zone, 1, 2, zone_ok), zm = number(zone, 4, 2, zone_ok);
    if (!zone_ok || zh > 14 || zm > 59)
        return FLIGHT_UNKNOWN;
    const double offset = zh * SECONDS_PER_HOUR + zm * SECONDS_PER_MINUTE;
    return zone[0] == '+' ? seconds - offset : seconds + offset;
}

bool read_gpx(std::string_view text, flight& out, std::string& why)
{
    out = flight{};
    reader r;
    r.parser = XML_ParserCreate(nullptr);
    if (r.parser == nullptr) {
        why = "out of memory for the XML parser";
        return false;
    }
    XML_SetUserData(r.parser, &r);
    XML_SetElementHandler(r.parser, start, end);
    XML_SetCharacterDataHandler(r.parser, characters);
    XML_Status status = XML_STATUS_OK;
    do {
        const size_t piece = text.size() < PIECE ? text.size() : PIECE;
        status = XML_Parse(r.parser, text.data(), int(piece), piece == text.size() ? XML_TRUE : XML_FALSE);
        text.remove_prefix(piece);
    } while (status == XML_STATUS_OK && !text.empty());
    const long error_line = long(XML_GetCurrentLineNumber(r.parser));
    const std::string error = status == XML_STATUS_ERROR ? XML_ErrorString(XML_GetErrorCode(r.parser)) : "";
    XML_ParserFree(r.parser);

    if (!r.root_is_gpx) {
        why = !r.root_seen && !error.empty() ? "it is not GPX (not XML: line " + std::to_string(error_line) + ": " + error + ")"
                                            : "it is not GPX (its root element is not gpx)";
        return false;
    }
    if (r.points.empty()) {
        why = error.empty() ? "it has no track (no trkpt with a time in a trk)"
                            : "it has no track before its XML breaks off at line " + std::to_string(error_line) + ": " + error;
        return false;
    }
    if (!flight_from_track(r.points, out, why))
        return false;
    for (long line : r.bad_lines)
        out.skipped.push_back({line, skip_reason::malformed});
    if (!error.empty())
        out.skipped.push_back({error_line, skip_reason::malformed});
    return true;
}
