// ktr7-replay --link: a recorded stream of the flight simulator link's lines
// played through the instrument from switch-on, as the window would have
// played it live, and what the KTR-7 showed over it.
#pragma once
#include <cstdio>

// Plays the lines read from in (named in_name in messages) and prints what
// the link took and refused and the instrument's summary to out. REPLAY_OK,
// or REPLAY_FAILED when the stream cannot be read or holds no good line.
int replay_link_report(FILE* in, const char* in_name, FILE* out, FILE* err);
