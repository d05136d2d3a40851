#include "screens/framework.h"
#include "screens/screens.h"
#include "core/state.h"
// PLACEHOLDER until the framework is written.
void reset_menu_cursor(uint8_t) {}
void return_to_main_display() {}
void draw_title_bar(const char*, const char*) {}
void draw_rotary_hint() {}
void draw_footer(uint8_t) {}
void draw_no_yes_footer() {}
void draw_scroll_bar(uint16_t, uint16_t) {}
void draw_setting_row(int8_t, const char*, const char*) {}
void draw_menu_row(int8_t, const char*, uint8_t) {}
void draw_step_label(uint8_t) {}
void scroll_to_cursor() {}
void screen_message_done() {}
