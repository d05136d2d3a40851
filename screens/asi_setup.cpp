#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_asi_setup() {}
void screen_asi_zero_confirm() {}
