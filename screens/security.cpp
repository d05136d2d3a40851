#include "screens/screens.h"
// PLACEHOLDER until these screens are written.
void screen_unlock() {}
void screen_code_check() {}
void screen_code_new() {}
void screen_code_confirm() {}
void screen_code_result() {}
void screen_security_setup() {}
