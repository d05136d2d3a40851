// A scenario played live, in real time, by a host that runs its own loop (the
// window, the web page). The same parser and expectations as the replay tool;
// what takes time waits for the host's real ticks and passes: "tick N" and
// "wait N" let N timer ticks pass, "pass N" lets N passes run. Everything
// else acts at once through the host's controls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/sensor_inputs.h"

struct player_io {
    void* context;  // handed to every function below
    void (*switch_on)(void* context);   // as the On button: resets now, the loop runs
    void (*switch_off)(void* context);  // as the Off button
    void (*post_key)(void* context, uint8_t key);
    // A sensor input's control, moved as a hand would.
    void (*set_input)(void* context, sensor_input input, int32_t position);
    void (*set_sensor)(void* context, bool ok);  // the "Altitude Sensor" check box
    // One line of output: print results, failed expectations and bad lines
    // ("line N: ..."), the closing "N passed, M failed". failed marks what
    // belongs on standard error.
    void (*report)(void* context, const char* line, bool failed);
    // The scenario ended: 0 when it ran and every expectation held, 1 when an
    // expectation failed, 2 for a bad line (which stops it).
    void (*finished)(void* context, int status);
    // Files, where the host has them; null where it does not (png, dump and
    // expect png are then refused as bad lines).
    bool (*write_png)(void* context, const char* path, int scale, char* why, size_t cap);
    bool (*write_dump)(void* context, const char* path, char* why, size_t cap);
    // expect png: 1 equal, 0 differs (report says how), -1 the reference
    // cannot be used (why says so).
    int (*check_png)(void* context, const char* path, char* report, size_t cap);
    // Recorded flights, where the host plays them; null where it does not
    // ("flight" and "fly" are then refused as bad lines). load_flight loads
    // the file, false with why set when it cannot. fly starts playing ticks
    // ticks of the loaded flight (-1: to its last fix) in step with the
    // host's timer, one pass after each, and returns how many ticks that
    // takes; -1 with why set when no flight is loaded.
    bool (*load_flight)(void* context, const char* path, char* why, size_t cap) = nullptr;
    long long (*fly)(void* context, long long ticks, char* why, size_t cap) = nullptr;
};

constexpr int PLAYER_OK = 0;
constexpr int PLAYER_EXPECTATION_FAILED = 1;
constexpr int PLAYER_BAD_LINE = 2;

// Starts playing script (copied) and runs its first lines. A scenario that is
// playing is stopped first, without finishing.
void player_start(std::string_view script, const player_io& io);
// Ends the playback where it is; finished is not called.
void player_stop();
bool player_playing();

// The host tells the player of every 100 ms tick and every pass.
void player_tick();
void player_pass();

// The line being played (1-based), for the host's status line.
long player_line();
