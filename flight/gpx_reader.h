// GPX 1.0 and 1.1 tracks, read with expat from text in memory: every trkpt
// of every trk and trkseg, in file order, with its time, ele (GNSS altitude)
// and, in GPX 1.0, speed (m/s). Waypoints and routes are not a flight.
#pragma once
#include <string>
#include <string_view>

#include "flight/flight.h"

// Reads the track into out (prepared, ready to play); points without a time
// or with a malformed position are skipped and listed. A file cut short plays
// up to where it was cut, with the cut listed too. False with why set when
// the text is not GPX or has no track.
bool read_gpx(std::string_view text, flight& out, std::string& why);

// Seconds since 1970-01-01 UTC of an XML Schema dateTime
// ("2024-05-01T12:34:56Z", fractions of a second and "+02:00" allowed; no
// zone is UTC); NaN when malformed.
double parse_gpx_time(std::string_view text);
