// One pass of the instrument's run loop and the program's life around it,
// written once for every host (the window, the replay tool, the web page).
#pragma once
#include <cstdint>

#include "core/state.h"

// What only the host can do, each called with the host's own context. Every
// function must be set.
struct host_io {
    void* context;
    void (*set_lamp)(void* context, bool red);                  // alarm lamp: red or maroon
    bool (*altitude_sensor_checked)(void* context);             // the "Altitude Sensor" check box
    void (*append_communications)(void* context, const char* line);  // one encoder sentence
    void (*present)(void* context);                             // show lcd_buffer (and swap)
    void (*process_events)(void* context);                      // let the host handle its events
};

// A host with nothing to show, for headless runs that read only the state
// record (a flight's summary, a fuzzer, a benchmark): lamp, sentences and
// frames go nowhere, the altitude sensor works.
extern const host_io HEADLESS_HOST;

// Program start: every field of the state record zero, the LCD black, the
// instrument off with the main display as its screen, the lamp maroon and no
// sentence sent.
void host_program_start();

// The switch-on resets, in their order ("On"); forgets the newest sentence,
// so that it speaks of this run only.
void host_switch_on();
// "Off" (the button, closing, exit): the loop ends after the current pass.
void host_switch_off();

// One pass: lamp, sensor check box and encoder altitude, sentence, airspeed,
// tick, clear, screen, present, events.
void run_pass(const host_io& io);

// The lamp as step 1 of the pass sets it.
bool alarm_lamp_red();
// The lamp as the last pass set it (maroon before any pass).
bool shown_lamp_red();

// The newest encoder sentence a pass sent since switch-on, as the
// instrument built it (terminator included); "" when none.
const char* newest_sentence();
// Sentences sent since program start.
uint32_t sentences_sent();

// Key posting: stored only while no key is pending; a second key is lost.
void host_post_key(uint8_t key);

// The 100 ms timer: blink divider and tick counter.
void host_timer_tick();

// What the passes left for every host to read, as the functions above give
// it; a session keeps its own copy while another instrument runs.
struct pass_outputs {
    bool lamp_red;                    // as the last pass set it
    char sentence[SERIAL_LINE_SIZE];  // the newest since switch-on
    uint32_t sentences;               // sent since program start
};
pass_outputs& current_pass_outputs();
