// One pass of the instrument's run loop, shared by the window and the replay
// tool, and the host-side inputs that both feed into the state record.
#pragma once
#include <cstdint>

// What only the host can do. Every member must be set.
struct host_io {
    void (*set_lamp)(bool red);                  // alarm lamp: red or maroon
    bool (*altitude_sensor_checked)();           // the "Altitude Sensor" check box
    void (*append_communications)(const char* line);  // one encoder sentence
    void (*present)();                           // show lcd_buffer (and swap)
    void (*process_events)();                    // let the host handle its events
};

// The switch-on resets, in their order ("On").
void host_switch_on();

// One pass: lamp, sensor check box and encoder altitude, sentence, airspeed,
// tick, clear, screen, present, events.
void run_pass(const host_io& io);

// The lamp as step 1 of the pass sets it.
bool alarm_lamp_red();
// The lamp as the last pass set it (maroon before any pass, or after
// forget_shown_lamp).
bool shown_lamp_red();
void forget_shown_lamp();

// Key posting: stored only while no key is pending; a second key is lost.
void host_post_key(uint8_t key);

// The 100 ms timer: blink divider and tick counter.
void host_timer_tick();

// Slider inputs.
void host_set_altitude(int32_t position);        // 0..65535
void host_set_vertical_speed(int32_t position);  // -6000..6000 ft/min
void host_set_asi_adc(int32_t position);         // 0..4096
