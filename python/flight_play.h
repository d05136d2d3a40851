// Recorded flights from Python: a flight file read and opened on the
// session's flight, and the ticks a "fly" plays, refused as the language
// refuses them. The session plays them: ten ticks a second of flight time,
// each with the flight's inputs, a tick and a pass.
#pragma once
#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "session/session_flight.h"

// Reads the file (IGC, GPX, or what gpsbabel reads) and opens it on played:
// FileNotFoundError, or ValueError with the reader's one-line reason; a
// warning for skipped records. Returns what the log says of itself.
pybind11::dict load_flight_file(session_flight& played, const std::string& path);
// The same reading and refusals alone, and what a log says of itself.
std::unique_ptr<flight> flight_or_refused(const std::string& path);
pybind11::dict flight_description(const flight& f);

// The ticks of "fly SECONDS" or "fly end" (an int or "end", which is
// ticks_at_end: what is left of the open flight), refused as the language
// refuses them.
long long fly_ticks(const pybind11::handle& seconds, long long ticks_at_end);
