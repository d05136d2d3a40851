// The screen framework: key codes, navigation helpers and screen furniture.
#pragma once
#include <cstdint>

constexpr uint8_t KEY_NONE = 0;
constexpr uint8_t KEY_LEFT = 1;
constexpr uint8_t KEY_RIGHT = 2;
constexpr uint8_t KEY_PUSH = 3;
constexpr uint8_t KEY_CW = 4;
constexpr uint8_t KEY_CCW = 5;

constexpr uint8_t COLOUR_BLACK = 0;
constexpr uint8_t COLOUR_RED = 9;
constexpr uint8_t COLOUR_GREEN = 10;
constexpr uint8_t COLOUR_YELLOW = 11;
constexpr uint8_t COLOUR_WHITE = 15;
constexpr uint8_t COLOUR_GREY = 229;

void reset_menu_cursor(uint8_t n);
void return_to_main_display();

void draw_title_bar(const char* first_line, const char* second_line);
void draw_rotary_hint();
void draw_footer(uint8_t kind);
void draw_no_yes_footer();
void draw_scroll_bar(uint16_t index, uint16_t count);
void draw_setting_row(int8_t row, const char* label, const char* value);
void draw_menu_row(int8_t row, const char* text, uint8_t colour);
void draw_step_label(uint8_t row);

// The list-scroll rule: the selected row stays on the last visible line.
void scroll_to_cursor();

// Value steps shared by the setup pages: 0 <-> 1, and +1 or -1 through
// 0..last wrapping at both ends (a value outside the range comes back to an
// end).
uint8_t toggled(uint8_t v);
uint8_t cycled(uint8_t v, uint8_t last, bool up);

// A yes/no question page: the MESSAGE title, the question icon at (5, 42),
// three centred lines in font 9 and the NO/YES footer.
void draw_question_page(const char* line1, const char* line2, const char* line3);
