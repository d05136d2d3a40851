// What kind of flight log a text is: the one rule every host reads flights
// by (the replay tool, the window and Python through flight_file.h, the web
// page through its own reading of the file it was handed). GPX and IGC are
// known by their content, an IGC log also by its .igc name; NMEA by its
// sentences; everything else is left to the file's extension.
#pragma once
#include <string_view>

enum class flight_format { empty, gpx, igc, nmea, other };

// A text whose root element is gpx (sought in its first kilobytes).
bool looks_like_gpx(std::string_view text);
// A log of NMEA sentences: it begins "$G", a talker, and GGA or RMC.
bool looks_like_nmea(std::string_view text);
// The name ends in ".extension" (any case), after its last '/'.
bool has_extension(std::string_view name, std::string_view extension);

// GPX, IGC (by content, or by an .igc name) and NMEA, in that order; other
// for anything else, empty for no text at all.
flight_format flight_format_of(std::string_view text, std::string_view name);
