#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_misc_setup() {}
void screen_backlight() {}
void screen_defaults_confirm() {}
