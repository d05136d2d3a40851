// Navigation helpers, the shared screen furniture and the MESSAGE / DONE
// screen. Every function draws from the state record alone.
#include "screens/framework.h"

#include "core/state.h"
#include "gfx/icons.h"
#include "gfx/lcd.h"
#include "gfx/rle.h"
#include "gfx/text.h"
#include "screens/screens.h"

// Layout of the shared furniture.
constexpr uint16_t TITLE_RULE_Y = 25;
constexpr uint16_t FOOTER_RULE_Y = 110;
constexpr uint16_t FOOTER_LABEL_Y = 112;
constexpr uint16_t FOOTER_LEFT_X = 26;
constexpr uint16_t FOOTER_RIGHT_X = 134;
constexpr uint16_t FOOTER_SEPARATOR_LEFT_X = 53;
constexpr uint16_t FOOTER_SEPARATOR_RIGHT_X = 106;
constexpr uint16_t ROW_FIRST_Y = 27;
constexpr uint16_t ROW_PITCH = 16;
constexpr int8_t VISIBLE_ROWS = 5;
constexpr uint16_t SCROLL_TRACK_X = 156;
constexpr uint16_t SCROLL_TRACK_TOP = 30;
constexpr uint16_t SCROLL_TRACK_BOTTOM = 106;
constexpr uint16_t SCROLL_THUMB_LEFT = 153;
constexpr uint16_t SCROLL_THUMB_RIGHT = 159;
// The message and question pages: icon on the left, text centred beside it.
constexpr uint16_t MESSAGE_ICON_X = 5;
constexpr uint16_t MESSAGE_ICON_Y = 42;
constexpr uint16_t MESSAGE_TEXT_X = 110;

constexpr uint8_t CAL_PERCENT_MIN = 50;
constexpr uint8_t CAL_PERCENT_MAX = 150;

void reset_menu_cursor(uint8_t n)
{
    st.pending_code = 0;
    st.edit_mode = 0;
    st.menu_cursor = n;
    st.menu_scroll = 0;
    st.edit_step = 1;
}

void return_to_main_display()
{
    st.current_screen = screen_main;
    st.edit_mode = 0;
    st.menu_cursor = 0;
    st.menu_scroll = 0;
    st.edit_step = 1;
    menu_closed_hook();
}

void show_screen(screen_handler screen, uint8_t row)
{
    st.current_screen = screen;
    reset_menu_cursor(row);
}

uint8_t take_key()
{
    const uint8_t key = st.pending_key;
    st.pending_key = KEY_NONE;
    return key;
}

void back_on_left(screen_handler parent, uint8_t row)
{
    if (take_key() == KEY_LEFT)
        show_screen(parent, row);
}

void scroll_to_cursor()
{
    st.menu_scroll = st.menu_cursor >= VISIBLE_ROWS ? st.menu_cursor - (VISIBLE_ROWS - 1) : 0;
}

void draw_title_rule()
{
    lcd_hline(0, LCD_WIDTH - 1, TITLE_RULE_Y, COLOUR_TEXT);
}

void draw_title_bar(const char* first_line, const char* second_line)
{
    draw_text(0, 0, "K", 0, 12, ALIGN_LEFT, COLOUR_HIGHLIGHT);
    draw_text(15, 0, "ova", 0, 12, ALIGN_LEFT, COLOUR_TEXT);
    draw_text(158, 0, first_line, 0, 8, ALIGN_RIGHT, COLOUR_HIGHLIGHT);
    draw_text(158, 11, second_line, 0, 8, ALIGN_RIGHT, COLOUR_HIGHLIGHT);
    draw_title_rule();
}

// One head of the rotary hint's double arrow: a triangle of three lines
// filled by vertical runs, with single pixels where the runs leave gaps.
struct hint_point {
    uint8_t x, y;
};
struct hint_line {
    hint_point from, to;
};
struct hint_run {
    uint8_t x, y0, y1;
};
struct hint_arrow_head {
    hint_line sides[3];
    hint_point before_runs[2];
    hint_run runs[6];
    uint8_t run_count;
    hint_point after_runs;
};

constexpr hint_arrow_head HINT_LEFT_HEAD = {
    {{{60, 117}, {70, 122}}, {{60, 117}, {62, 126}}, {{70, 122}, {62, 126}}},
    {{61, 118}, {61, 119}},
    {{62, 119, 125}, {63, 119, 124}, {64, 120, 124}, {65, 121, 123}, {66, 121, 123}, {67, 121, 123}},
    6,
    {68, 122},
};
constexpr hint_arrow_head HINT_RIGHT_HEAD = {
    {{{90, 122}, {100, 117}}, {{90, 122}, {98, 126}}, {{100, 117}, {98, 126}}},
    {{92, 122}, {93, 122}},
    {{94, 121, 123}, {95, 121, 123}, {96, 120, 124}, {97, 120, 124}, {98, 119, 123}},
    5,
    {99, 119},
};

// The arc over both heads: centre (80, 132), radius 20, 220 up to 320 degrees.
constexpr uint16_t HINT_ARC_X = 80;
constexpr uint16_t HINT_ARC_Y = 132;
constexpr uint16_t HINT_ARC_RADIUS = 20;
constexpr uint16_t HINT_ARC_FROM = 220;
constexpr uint16_t HINT_ARC_TO = 320;

static void draw_arrow_head(const hint_arrow_head& head, uint8_t colour)
{
    for (const hint_line& side : head.sides)
        lcd_line(side.from.x, side.from.y, side.to.x, side.to.y, colour);
    for (const hint_point& p : head.before_runs)
        lcd_set_pixel(p.x, p.y, colour);
    for (uint8_t i = 0; i < head.run_count; i++)
        lcd_vline(head.runs[i].y0, head.runs[i].y1, head.runs[i].x, colour);
    lcd_set_pixel(head.after_runs.x, head.after_runs.y, colour);
}

void draw_rotary_hint()
{
    lcd_arc(HINT_ARC_X, HINT_ARC_Y, HINT_ARC_RADIUS, HINT_ARC_FROM, HINT_ARC_TO, COLOUR_TEXT);
    draw_arrow_head(HINT_LEFT_HEAD, COLOUR_TEXT);
    draw_arrow_head(HINT_RIGHT_HEAD, COLOUR_TEXT);
}

void draw_footer_lines()
{
    lcd_hline(0, LCD_WIDTH - 1, FOOTER_RULE_Y, COLOUR_TEXT);
    lcd_vline(FOOTER_RULE_Y, LCD_HEIGHT - 1, FOOTER_SEPARATOR_LEFT_X, COLOUR_TEXT);
    lcd_vline(FOOTER_RULE_Y, LCD_HEIGHT - 1, FOOTER_SEPARATOR_RIGHT_X, COLOUR_TEXT);
}

void draw_footer_left_label(const char* label)
{
    draw_text(FOOTER_LEFT_X, FOOTER_LABEL_Y, label, 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
}

static void draw_footer_right_label(const char* label)
{
    draw_text(FOOTER_RIGHT_X, FOOTER_LABEL_Y, label, 0, 8, ALIGN_CENTRE, COLOUR_TEXT);
}

void draw_footer(uint8_t kind)
{
    draw_footer_lines();
    switch (kind) {
    case FOOTER_EXIT: draw_footer_left_label("EXIT"); break;
    case FOOTER_BACK: draw_footer_left_label("BACK"); break;
    case FOOTER_DONE: draw_footer_left_label("DONE"); break;
    default: break;
    }
    draw_rotary_hint();
}

uint8_t toggled(uint8_t v)
{
    return v ? 0 : 1;
}

uint8_t cycled(uint8_t v, uint8_t last, bool up)
{
    if (up)
        return v >= last ? 0 : uint8_t(v + 1);
    return (v == 0 || v > last) ? last : uint8_t(v - 1);
}

uint8_t cal_percent_stepped(uint8_t percent, bool up)
{
    if (up)
        return percent < CAL_PERCENT_MAX ? uint8_t(percent + 1) : percent;
    return percent > CAL_PERCENT_MIN ? uint8_t(percent - 1) : percent;
}

void move_cursor(uint8_t rows, bool next)
{
    st.menu_cursor = cycled(st.menu_cursor, uint8_t(rows - 1), next);
}

void cycle_edit_step(uint16_t largest)
{
    st.edit_step = st.edit_step < largest ? uint16_t(st.edit_step * 10) : uint16_t(1);
}

void turn_setting_list(bool next, uint8_t rows, void (*step_value)(bool up))
{
    if (st.edit_mode) {
        if (step_value)
            step_value(next);
        return;
    }
    move_cursor(rows, next);
    st.edit_step = 1;
}

void leave_setup_page(uint8_t main_menu_entry)
{
    settings_changed_hook();
    show_screen(screen_main_menu, main_menu_entry);
}

uint8_t selection_colour(bool selected)
{
    return selected ? COLOUR_HIGHLIGHT : COLOUR_TEXT;
}

void question_page(const question& q)
{
    draw_title_bar("MESSAGE", "");
    draw_rle_image(MESSAGE_ICON_X, MESSAGE_ICON_Y, icon_question);
    draw_text(MESSAGE_TEXT_X, 35, q.lines[0], 0, 9, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(MESSAGE_TEXT_X, 58, q.lines[1], 0, 9, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(MESSAGE_TEXT_X, 81, q.lines[2], 0, 9, ALIGN_CENTRE, COLOUR_TEXT);
    draw_no_yes_footer();

    switch (take_key()) {
    case KEY_LEFT:
        show_screen(q.asked_from, q.row);
        break;
    case KEY_RIGHT:
        q.yes();
        st.return_screen = q.asked_from;
        show_screen(screen_message_done, q.row);
        break;
    default:
        break;
    }
}

void draw_message_page(const uint8_t* icon, const char* line1, const char* line2)
{
    draw_title_bar("MESSAGE", "");
    draw_rle_image(MESSAGE_ICON_X, MESSAGE_ICON_Y, icon);
    draw_text(MESSAGE_TEXT_X, 45, line1, 0, 10, ALIGN_CENTRE, COLOUR_TEXT);
    draw_text(MESSAGE_TEXT_X, 65, line2, 0, 10, ALIGN_CENTRE, COLOUR_TEXT);
}

void draw_no_yes_footer()
{
    draw_footer_lines();
    draw_footer_left_label("NO");
    draw_footer_right_label("YES");
}

void draw_scroll_bar(uint16_t index, uint16_t count)
{
    if (count == 0)
        count = 1;  // callers always have at least one entry
    const uint16_t step = 760 / count;
    const uint16_t top = uint16_t((uint32_t(step) * index + 300) / 10);
    const uint16_t bottom = uint16_t(top + step / 10);
    lcd_vline(SCROLL_TRACK_TOP, SCROLL_TRACK_BOTTOM, SCROLL_TRACK_X, COLOUR_TEXT);
    lcd_fill(SCROLL_THUMB_LEFT, top, SCROLL_THUMB_RIGHT, bottom, COLOUR_TEXT);
}

static uint16_t row_y(int8_t row)
{
    return uint16_t(ROW_FIRST_Y + ROW_PITCH * row);
}

void draw_setting_row(int8_t row, const char* label, const char* value)
{
    if (row < 0 || row >= VISIBLE_ROWS)
        return;
    const bool selected = row + st.menu_scroll == st.menu_cursor;
    const uint16_t y = row_y(row);
    draw_text(0, y, label, 0, 8, ALIGN_LEFT, selection_colour(selected && st.edit_mode == 0));
    draw_text(st.text_end_x, y, value, 0, 8, ALIGN_LEFT, selection_colour(selected));
}

void draw_menu_row(int8_t row, const char* text, uint8_t colour)
{
    if (row < 0 || row >= VISIBLE_ROWS)
        return;
    draw_text(0, row_y(row), text, 0, 8, ALIGN_LEFT, colour);
}

void draw_step_label(uint8_t row)
{
    if (row != st.menu_cursor)
        return;
    switch (st.edit_step) {
    case 1: draw_footer_right_label("X1"); break;
    case 10: draw_footer_right_label("X10"); break;
    case 100: draw_footer_right_label("X100"); break;
    default: break;
    }
}

void screen_message_done()
{
    draw_title_bar("MESSAGE", "");
    draw_text(MESSAGE_TEXT_X, 55, "DONE", 0, 16, ALIGN_CENTRE, COLOUR_TEXT);
    draw_rle_image(10, 45, icon_exclamation);

    if (take_key() != KEY_NONE)
        st.current_screen = st.return_screen;
}
