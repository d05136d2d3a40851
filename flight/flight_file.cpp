#include "flight/flight_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "flight/flight_format.h"
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

bool read_text(const char* path, const std::string& text, flight& out, std::string& why)
{
    const char* format = nullptr;
    switch (flight_format_of(text, path)) {
    case flight_format::empty: why = "it is empty"; return false;
    case flight_format::gpx: return read_gpx(text, out, why);
    case flight_format::igc: return read_igc(text, out, why);
    case flight_format::nmea: format = "nmea"; break;
    case flight_format::other: format = gpsbabel_format_for(path); break;
    }
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
