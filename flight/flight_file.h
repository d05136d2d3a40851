// A flight file, whatever the logger wrote: IGC and GPX known by their
// content (an IGC also by its .igc extension), every other format by its
// extension through gpsbabel (flight/gpsbabel.h).
#pragma once
#include <string>

#include "flight/flight.h"

// Files larger than this are not flight logs (a day at one fix a second is
// a few megabytes).
constexpr long long FLIGHT_FILE_MAX_BYTES = 512LL * 1024 * 1024;

// Reads path into out, ready to play. On failure false, with error one line
// that names the file ("FILE: it is not a flight log ..."). warning is the
// one line about skipped records ("" when none).
bool read_flight_file(const char* path, flight& out, std::string& error, std::string& warning);
