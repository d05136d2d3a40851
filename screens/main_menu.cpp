#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_main_menu() {}
void screen_adc_values() {}
void screen_info() {}
