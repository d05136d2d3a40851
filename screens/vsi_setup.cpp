#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_vsi_setup() {}
