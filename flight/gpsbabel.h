// Flight files in the formats gpsbabel reads (KML, NMEA, FIT, TCX, ...),
// converted to GPX by the gpsbabel program: run directly with an argument
// vector, no shell, so no file name can be taken as a command.
#pragma once
#include <string>
#include <string_view>

// gpsbabel's input format for a file name's extension ("kml", "nmea",
// "garmin_fit", "gtrnctr", ...), case ignored; nullptr when none.
const char* gpsbabel_format_for(std::string_view file_name);

// Runs `program -i FORMAT -f FILE -o gpx -F -` and takes its standard output;
// with waypoints_as_track, `-x transform,trk=wpt` before the output, which
// turns the file's waypoints into a track (gpsbabel reads a KML track's
// timed points as waypoints). False with why set when the program is not
// installed (naming the Debian package gpsbabel), cannot start, or fails
// (with the first line it wrote on standard error).
bool convert_with_gpsbabel(const char* format, const char* path, std::string& gpx, std::string& why,
                           bool waypoints_as_track = false, const char* program = "gpsbabel");
