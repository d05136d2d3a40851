// The screen framework: key codes, navigation helpers and screen furniture.
#pragma once
#include <cstdint>

#include "core/state.h"

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

// What each colour is for on the screens.
constexpr uint8_t COLOUR_TEXT = COLOUR_WHITE;        // normal text, lines and frames
constexpr uint8_t COLOUR_HIGHLIGHT = COLOUR_RED;     // selection, title lines, warning boxes
constexpr uint8_t COLOUR_CAPTION = COLOUR_GREY;      // units and captions
constexpr uint8_t COLOUR_CAUTION = COLOUR_YELLOW;    // the box behind a value in its caution range
constexpr uint8_t COLOUR_INDICATOR = COLOUR_GREEN;   // the VSI indicator
constexpr uint8_t COLOUR_BACKGROUND = COLOUR_BLACK;  // also text on a caution box

// What the left key's footer label says.
constexpr uint8_t FOOTER_NONE = 0;
constexpr uint8_t FOOTER_EXIT = 1;  // the left key leaves the menus
constexpr uint8_t FOOTER_BACK = 2;  // the left key goes back one level
constexpr uint8_t FOOTER_DONE = 3;

// The largest coarse step a page offers (KEY_RIGHT cycles 1, 10, ... up to it).
constexpr uint16_t STEP_UP_TO_10 = 10;
constexpr uint16_t STEP_UP_TO_100 = 100;

void reset_menu_cursor(uint8_t n);
void return_to_main_display();
// Makes a screen current with the cursor on the given row (reset_menu_cursor):
// how a page opens a child, and how a child goes back to the row it came from.
void show_screen(screen_handler screen, uint8_t row);
// The key of this pass, taken: pending_key is clear from here on.
uint8_t take_key();
// The one key of a page that only shows something: KEY_LEFT goes back to the
// parent on the given row; every key is consumed.
void back_on_left(screen_handler parent, uint8_t row);

// The list cursor under the knob: the next row, from the last back to row 0;
// the previous row, from row 0 (or a row beyond the list) to the last.
void move_cursor(uint8_t rows, bool next);
// The knob on a list of settings: in edit mode it steps the selected row's
// value through step_value (none where the rows act themselves); otherwise it
// moves the cursor and puts the step back to X1.
void turn_setting_list(bool next, uint8_t rows, void (*step_value)(bool up));
// KEY_LEFT on a setup page: the settings have changed, and the main menu
// comes back on the page's own entry.
void leave_setup_page(uint8_t main_menu_entry);
// KEY_RIGHT on a page with coarse steps: edit_step times 10 until it reaches
// the page's largest step, then 1 again.
void cycle_edit_step(uint16_t largest);
// The colour of a list entry or digit: highlighted when selected.
uint8_t selection_colour(bool selected);

void draw_title_bar(const char* first_line, const char* second_line);
// The rule that closes the title area, for pages with a heading of their own.
void draw_title_rule();
void draw_rotary_hint();
void draw_footer(uint8_t kind);
void draw_no_yes_footer();
// The footer's rule and slot separators, and a label in its left slot: for a
// page whose footer has no rotary hint.
void draw_footer_lines();
void draw_footer_left_label(const char* label);
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
// A calibration percentage: one up or down within 50..150, stopping at the
// ends; coarse steps do not apply.
uint8_t cal_percent_stepped(uint8_t percent, bool up);

// A yes/no question page: the MESSAGE title, the question icon at (5, 42),
// three centred lines in font 9 and the NO/YES footer. NO (KEY_LEFT) goes
// back to the asking page on its row; YES (KEY_RIGHT) runs yes() and shows
// DONE, after which the asking page comes back on that row. Every other key
// is consumed.
struct question {
    const char* lines[3];
    screen_handler asked_from;
    uint8_t row;
    void (*yes)();
};
void question_page(const question& q);
// A MESSAGE page: the title, the icon at (5, 42) and two centred lines in
// font 10. The footer is the caller's.
void draw_message_page(const uint8_t* icon, const char* line1, const char* line2);
