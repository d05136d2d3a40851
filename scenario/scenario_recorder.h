// What a person does in the window, written down as a scenario that the
// replay tool plays back to the same instrument state at every step: On,
// Off, each key that was stored, slider positions, the check box, and the
// timer ticks and passes between them (the airspeed filter advances per pass,
// the flight timer per tick, so both are kept, run-length counted). Every
// line is flushed as it is written, so a crash loses nothing before it.
#pragma once
#include <cstddef>

// Opens path for writing with a header naming the version and the date;
// false with the reason in why.
bool recorder_start(const char* path, const char* version, char* why, size_t cap);
// Writes what is pending and closes the file.
void recorder_stop();
bool recorder_active();

// An event: one scenario line ("key push", "altitude 3250", ...), written
// after the ticks and passes that came before it.
void recorder_event(const char* line);
void recorder_tick();
void recorder_pass();

// The reason of the first write error, which ends the recording ("" while
// none happened). The host checks it after each call and tells the user.
const char* recorder_error();
