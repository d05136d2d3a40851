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

void scroll_to_cursor()
{
    st.menu_scroll = st.menu_cursor >= VISIBLE_ROWS ? st.menu_cursor - (VISIBLE_ROWS - 1) : 0;
}

void draw_title_bar(const char* first_line, const char* second_line)
{
    draw_text(0, 0, "K", 0, 12, ALIGN_LEFT, COLOUR_RED);
    draw_text(15, 0, "ova", 0, 12, ALIGN_LEFT, COLOUR_WHITE);
    draw_text(158, 0, first_line, 0, 8, ALIGN_RIGHT, COLOUR_RED);
    draw_text(158, 11, second_line, 0, 8, ALIGN_RIGHT, COLOUR_RED);
    lcd_hline(0, LCD_WIDTH - 1, TITLE_RULE_Y, COLOUR_WHITE);
}

void draw_rotary_hint()
{
    const uint8_t c = COLOUR_WHITE;
    lcd_arc(80, 132, 20, 220, 320, c);

    // Left arrow head.
    lcd_line(60, 117, 70, 122, c);
    lcd_line(60, 117, 62, 126, c);
    lcd_line(70, 122, 62, 126, c);
    lcd_set_pixel(61, 118, c);
    lcd_set_pixel(61, 119, c);
    lcd_vline(119, 125, 62, c);
    lcd_vline(119, 124, 63, c);
    lcd_vline(120, 124, 64, c);
    lcd_vline(121, 123, 65, c);
    lcd_vline(121, 123, 66, c);
    lcd_vline(121, 123, 67, c);
    lcd_set_pixel(68, 122, c);

    // Right arrow head.
    lcd_line(90, 122, 100, 117, c);
    lcd_line(90, 122, 98, 126, c);
    lcd_line(100, 117, 98, 126, c);
    lcd_set_pixel(92, 122, c);
    lcd_set_pixel(93, 122, c);
    lcd_vline(121, 123, 94, c);
    lcd_vline(121, 123, 95, c);
    lcd_vline(120, 124, 96, c);
    lcd_vline(120, 124, 97, c);
    lcd_vline(119, 123, 98, c);
    lcd_set_pixel(99, 119, c);
}

static void draw_footer_lines()
{
    lcd_hline(0, LCD_WIDTH - 1, FOOTER_RULE_Y, COLOUR_WHITE);
    lcd_vline(FOOTER_RULE_Y, LCD_HEIGHT - 1, FOOTER_SEPARATOR_LEFT_X, COLOUR_WHITE);
    lcd_vline(FOOTER_RULE_Y, LCD_HEIGHT - 1, FOOTER_SEPARATOR_RIGHT_X, COLOUR_WHITE);
}

void draw_footer(uint8_t kind)
{
    draw_footer_lines();
    const char* label = nullptr;
    switch (kind) {
    case 1: label = "EXIT"; break;
    case 2: label = "BACK"; break;
    case 3: label = "DONE"; break;
    default: break;
    }
    if (label)
        draw_text(FOOTER_LEFT_X, FOOTER_LABEL_Y, label, 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
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

void draw_question_page(const char* line1, const char* line2, const char* line3)
{
    draw_title_bar("MESSAGE", "");
    draw_rle_image(5, 42, icon_question);
    draw_text(110, 35, line1, 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 58, line2, 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 81, line3, 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_no_yes_footer();
}

void draw_no_yes_footer()
{
    draw_footer_lines();
    draw_text(FOOTER_LEFT_X, FOOTER_LABEL_Y, "NO", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(FOOTER_RIGHT_X, FOOTER_LABEL_Y, "YES", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
}

void draw_scroll_bar(uint16_t index, uint16_t count)
{
    if (count == 0)
        count = 1;  // callers always have at least one entry
    const uint16_t step = 760 / count;
    const uint16_t top = uint16_t((uint32_t(step) * index + 300) / 10);
    const uint16_t bottom = uint16_t(top + step / 10);
    lcd_vline(SCROLL_TRACK_TOP, SCROLL_TRACK_BOTTOM, SCROLL_TRACK_X, COLOUR_WHITE);
    lcd_fill(153, top, 159, bottom, COLOUR_WHITE);
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
    draw_text(0, y, label, 0, 8, ALIGN_LEFT, selected && st.edit_mode == 0 ? COLOUR_RED : COLOUR_WHITE);
    draw_text(st.text_end_x, y, value, 0, 8, ALIGN_LEFT, selected ? COLOUR_RED : COLOUR_WHITE);
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
    const char* label = nullptr;
    switch (st.edit_step) {
    case 1: label = "X1"; break;
    case 10: label = "X10"; break;
    case 100: label = "X100"; break;
    default: break;
    }
    if (label)
        draw_text(FOOTER_RIGHT_X, FOOTER_LABEL_Y, label, 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
}

void screen_message_done()
{
    draw_title_bar("MESSAGE", "");
    draw_text(110, 55, "DONE", 0, 16, ALIGN_CENTRE, COLOUR_WHITE);
    draw_rle_image(10, 45, icon_exclamation);

    if (st.pending_key == KEY_NONE)
        return;
    st.current_screen = st.return_screen;
    st.pending_key = KEY_NONE;
}
