#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_main() {}
void screen_flight_start_stop() {}
