// Recorded flights from Python: a flight file read and opened on the
// session's flight, and the ticks a "fly" plays, refused as the language
// refuses them. The session plays them: ten ticks a second of flight time,
// each with the flight's inputs, a tick and a pass.
#pragma once
#include <pybind11/pybind11.h>

#include <string>

#include "session/session_flight.h"

// Reads the file (IGC, GPX, or what gpsbabel reads) and opens it on played:
// FileNotFoundError, or ValueError with the reader's one-line reason; a
// warning for skipped records. Returns what the log says of itself.
pybind11::dict load_flight_file(session_flight& played, const std::string& path);

// The ticks of "fly SECONDS" or "fly end" (an int or "end"; "end" is what
// is left of the open flight, 0 with none), refused as the language refuses
// them.
long long fly_ticks(const session_flight& played, const pybind11::handle& seconds);
