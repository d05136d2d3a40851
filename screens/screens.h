// Every screen handler of the instrument, and the rows of the menus that a
// screen reopens its parent on.
#pragma once
#include <cstdint>

// The main menu's entries in cursor order, and their number.
enum : uint8_t {
    MAIN_MENU_ALT_SETUP, MAIN_MENU_VSI_SETUP, MAIN_MENU_ASI_SETUP, MAIN_MENU_TIMERS_SETUP, MAIN_MENU_MISC_SETUP,
    MAIN_MENU_ADC_VALUES, MAIN_MENU_ENTRIES
};

// MISC SETUP's rows, and their number.
enum : uint8_t { MISC_ROW_BACKLIGHT, MISC_ROW_SECURITY_SETUP, MISC_ROW_INFORMATION, MISC_ROW_DEFAULT_SETTINGS, MISC_ROWS };

// A page opened afresh starts on its first row.
constexpr uint8_t FIRST_ROW = 0;

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
