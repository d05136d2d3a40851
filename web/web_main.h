// The entry points the web page calls: the window's controls and run loop as
// plain C functions over the instrument and the shared pass.
#pragma once
#include <cstdint>

extern "C" {

// Program start: the main display as the current screen (the instrument off).
void web_create();

// "On": the switch-on resets; passes run until "Off".
void web_switch_on();
// "Off": stop_requested, no further passes.
void web_switch_off();
int web_running();

// One pass of the run loop when running; 1 if it ran.
int web_pass();
// The 100 ms timer.
void web_timer_tick();

// Key codes 1..5 (left, right, push, cw, ccw); one pending at a time.
void web_post_key(int key);
// 1 while a key waits for the next pass.
int web_key_pending();

// The sensor inputs' ranges, numbered as sensor_input (altitude, vertical
// speed, airspeed converter), for the page's sliders.
int web_input_minimum(int which);
int web_input_maximum(int which);

// The sliders and the "Altitude Sensor" check box.
void web_set_altitude(int position);
void web_set_vertical_speed(int position);
void web_set_asi_adc(int position);
void web_set_sensor_checked(int checked);

// The 160 x 128 palette indices and the 256 colours 0x00RRGGBB.
const uint8_t* web_lcd_buffer();
const uint32_t* web_palette();

// What the last pass left for the host.
int web_lamp_red();
uint32_t web_sentence_count();  // grows by one per sentence
const char* web_sentence();     // the newest, printable bytes only
uint32_t web_passes();
// The current screen's handler name ("screen_main_menu").
const char* web_screen_name();

// The benchmark: switched on at the main display in the native benchmark's
// flight (airspeed, altitude and climb all shown) with serial output on,
// then count passes.
void web_bench_setup();
void web_bench_passes(int count);
}

// For the page's other entry points (flights): what the page's host does
// for a pass, and the count of passes.
struct host_io;
const host_io& web_host_io();
void web_count_pass();
