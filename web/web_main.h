// The entry points the web page calls: the page's one session of the
// instrument (program start, On and Off, the controls, the 100 ms time
// base and the passes) as plain C functions. The page owns the clock, the
// controls and the canvas; after every tick and pass it reads back what the
// session holds (the inputs, the check box, the lamp, the sentences).
#pragma once
#include <cstdint>

class instrument_session;
class session_display;

extern "C" {

// Program start: the instrument off with the main display as its screen.
void web_create();

// "On" (factory settings; passes run) and "Off" (no further passes).
void web_switch_on();
void web_switch_off();
int web_running();

// One pass of the run loop while on; 1 if it ran.
int web_pass();
// The page's 100 ms timer: a tick, or with a flight playing the flight's
// ticks of it (at N times real speed N, each but the last with its pass).
void web_clock_tick();

// Key codes 1..5 (left, right, push, cw, ccw); one pending at a time.
void web_post_key(int key);
// 1 while a key waits for the next pass.
int web_key_pending();

// The sensor inputs, numbered as sensor_input (altitude, vertical speed,
// airspeed converter): their ranges for the sliders, a slider moved by hand
// (held in its range; a flight playing pauses), and where each input is.
int web_input_minimum(int which);
int web_input_maximum(int which);
void web_set_input(int which, int position);
int web_input(int which);

// The "Altitude Sensor" check box, as each pass reads it.
void web_set_sensor_checked(int checked);
int web_sensor_checked();

// The 160 x 128 palette indices and the 256 colours 0x00RRGGBB.
const uint8_t* web_lcd_buffer();
const uint32_t* web_palette();

// The lamp as the last pass set it.
int web_lamp_red();
// The sentences the passes sent since the page last took them (at most the
// Communications box's worth), oldest first, printable bytes only.
int web_sentences_waiting();
const char* web_sentence(int i);
void web_sentences_taken();

// Passes and ticks since program start.
double web_passes();
double web_ticks();
// The current screen's handler name ("screen_main_menu").
const char* web_screen_name();
// What the LCD says after the last pass: its strings in reading order, each
// without the blanks around it, joined with one blank ("K ova MAIN MENU ALT
// SETUP EXIT"), as expect text reads them; the font's code page 1252 bytes.
const char* web_lcd_words();

// The benchmark: switched on at the main display in the native benchmark's
// flight (airspeed, altitude and climb all shown) with serial output on,
// then count passes.
void web_bench_setup();
void web_bench_passes(int count);
}

// For the page's other entry points (flights, scenarios): its session, and
// the display its passes show on.
instrument_session& page_session();
session_display& page_display();
