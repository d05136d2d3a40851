// The replay's side of the pass: no window, a lamp and a check box held here,
// and each encoder sentence echoed as a "serial" line.
#pragma once
#include <cstdio>

#include "host/pass.h"

// The host interface that replay passes run with.
extern const host_io replay_io;

// Check box checked, no output stream.
void replay_host_reset();

// Where the sentences of the following passes are written.
void replay_host_set_output(FILE* out);

// The "Altitude Sensor" check box.
void replay_set_sensor_checked(bool checked);
bool replay_sensor_checked();
