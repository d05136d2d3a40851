// Every screen handler of the instrument.
#pragma once

// Main display and flight pages.
void screen_main();
void screen_flight_start_stop();
// Security code.
void screen_unlock();
void screen_code_check();
void screen_code_new();
void screen_code_confirm();
void screen_code_result();
void screen_security_setup();
// Main menu, ADC values, information.
void screen_main_menu();
void screen_adc_values();
void screen_info();
// Altitude setup and the encoder test.
void screen_alt_setup();
void screen_test_warning();
void screen_test_altitude();
// VSI, ASI, timers and misc setup.
void screen_vsi_setup();
void screen_asi_setup();
void screen_asi_zero_confirm();
void screen_timers_setup();
void screen_misc_setup();
void screen_backlight();
void screen_defaults_confirm();
// The generic MESSAGE / DONE screen.
void screen_message_done();
