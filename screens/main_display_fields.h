// The fields and pages that screen_main draws, each from the state alone.
#pragma once

void draw_altitude_field();
void draw_qnh_field();
void draw_airspeed_field();
void draw_vsi_tape();
void draw_timers_page();
void draw_max_values_page();
