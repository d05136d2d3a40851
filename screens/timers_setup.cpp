#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_timers_setup() {}
