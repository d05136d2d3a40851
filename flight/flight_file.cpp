#include "flight/flight_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "flight/gpsbabel.h"
#include "flight/gpx_reader.h"
#include "flight/igc_reader.h"

namespace {

bool read_whole(const char* path, std::string& text, std::string& why)
{
    FILE* in = fopen(path, "rb");
    if (in == nullptr) {
        why = std::string("cannot read: ") + strerror(errno);
        return false;
    }
    text.clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) {
        text.append(buffer, n);
        if ((long long)text.size() > FLIGHT_FILE_MAX_BYTES) {
            fclose(in);
            why = "it is too large to be a flight log";
            return false;
        }
    }
    const bool failed = ferror(in) != 0;
    const int saved = errno;
    fclose(in);
    if (failed) {
        why = std::string("cannot read: ") + strerror(saved ? saved : EIO);
        return false;
    }
    return true;
}

bool has_extension(const char* path, const char* extension)
{
    const char* dot = strrchr(path, '.');
    const char* slash = strrchr(path, '/');
    return dot != nullptr && (slash == nullptr || dot > slash) && strcasecmp(dot + 1, extension) == 0;
}

// NMEA sentences begin "$G" and a talker: a log of them is NMEA whatever
// its name.
bool looks_like_nmea(const std::string& text)
{
    return text.size() > 6 && text[0] == '$' && text[1] == 'G' &&
           (text.compare(3, 3, "GGA") == 0 || text.compare(3, 3, "RMC") == 0);
}

bool read_text(const char* path, const std::string& text, flight& out, std::string& why)
{
    if (text.empty()) {
        why = "it is empty";
        return false;
    }
    if (looks_like_gpx(text))
        return read_gpx(text, out, why);
    if (looks_like_igc(text) || has_extension(path, "igc"))
        return read_igc(text, out, why);
    const char* format = looks_like_nmea(text) ? "nmea" : gpsbabel_format_for(path);
    if (format == nullptr) {
        why = "it is not a flight log (IGC or GPX, or KML, NMEA, FIT, TCX and the like through gpsbabel, "
              "known by their extension)";
        return false;
    }
    std::string gpx;
    if (!convert_with_gpsbabel(format, path, gpx, why))
        return false;
    // Where gpsbabel gives no track, the file's timed waypoints are taken as
    // one (a KML track comes back so).
    if (!read_gpx(gpx, out, why) &&
        (!convert_with_gpsbabel(format, path, gpx, why, true) || !read_gpx(gpx, out, why))) {
        why = "gpsbabel read it as " + std::string(format) + ", but " + why;
        return false;
    }
    // gpsbabel's lines are not the file's: what it skipped is its own.
    out.skipped.clear();
    return true;
}

}  // namespace

bool read_flight_file(const char* path, flight& out, std::string& error, std::string& warning)
{
    std::string text, why;
    warning.clear();
    if (!read_whole(path, text, why) || !read_text(path, text, out, why)) {
        error = std::string(path) + ": " + why;
        out = flight{};
        return false;
    }
    warning = flight_skip_warning(out, path);
    return true;
}
