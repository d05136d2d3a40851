#include "flight/flight_format.h"

#include <strings.h>

#include "flight/igc_reader.h"

namespace {

// How far into a text looks_like_gpx looks for the root element.
constexpr size_t LOOK_BYTES = 4096;

}  // namespace

bool looks_like_gpx(std::string_view text)
{
    const std::string_view head = text.substr(0, LOOK_BYTES);
    size_t at = 0;
    while ((at = head.find('<', at)) != head.npos) {
        at++;
        if (at < head.size() && (head[at] == '?' || head[at] == '!'))
            continue;
        std::string_view name = head.substr(at);
        name = name.substr(0, name.find_first_of(" \t\r\n>/"));
        const size_t colon = name.rfind(':');
        if (colon != name.npos)
            name.remove_prefix(colon + 1);
        return name == "gpx";
    }
    return false;
}

bool looks_like_nmea(std::string_view text)
{
    return text.size() > 6 && text[0] == '$' && text[1] == 'G' &&
           (text.substr(3, 3) == "GGA" || text.substr(3, 3) == "RMC");
}

bool has_extension(std::string_view name, std::string_view extension)
{
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot == name.npos || (slash != name.npos && dot < slash))
        return false;
    const std::string_view found = name.substr(dot + 1);
    return found.size() == extension.size() && strncasecmp(found.data(), extension.data(), found.size()) == 0;
}

flight_format flight_format_of(std::string_view text, std::string_view name)
{
    if (text.empty())
        return flight_format::empty;
    if (looks_like_gpx(text))
        return flight_format::gpx;
    if (looks_like_igc(text) || has_extension(name, "igc"))
        return flight_format::igc;
    if (looks_like_nmea(text))
        return flight_format::nmea;
    return flight_format::other;
}
