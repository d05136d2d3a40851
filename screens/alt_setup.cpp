#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_alt_setup() {}
void screen_test_warning() {}
void screen_test_altitude() {}
