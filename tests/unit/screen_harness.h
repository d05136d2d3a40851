// The one harness of the screen and pass tests: a stub host that keeps what
// the pass hands it, switching on, passes with keys as the host posts them,
// the LCD read back as pixel facts, and the LCD compared with the gallery's
// committed pictures.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text.h"
#include "picture/lcd_png_compare.h"
#include "host/palette.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace screen_test {

// The stub host: the last of what each of its calls was handed, and counts.
struct stub_host {
    std::string last_sentence;
    long sentences = 0;
    bool lamp_red = false;
    long lamp_sets = 0;
    long presented = 0;
    long event_rounds = 0;
    bool sensor_checked = true;  // the "Altitude Sensor" check box
};
inline stub_host host;

inline const host_io stub_io = {
    &host,
    [](void* h, bool red) { static_cast<stub_host*>(h)->lamp_red = red, static_cast<stub_host*>(h)->lamp_sets++; },
    [](void* h) { return static_cast<stub_host*>(h)->sensor_checked; },
    [](void* h, const char* line) {
        static_cast<stub_host*>(h)->last_sentence = line, static_cast<stub_host*>(h)->sentences++;
    },
    [](void* h) { static_cast<stub_host*>(h)->presented++; },
    [](void* h) { static_cast<stub_host*>(h)->event_rounds++; },
};

inline void pass(int n = 1)
{
    while (n-- > 0)
        run_pass(stub_io);
}

// Program start, then "On".
inline void switch_on()
{
    host_program_start();
    host = stub_host{};
    host_switch_on();
}

// A key as the host posts it, pressed some times: each time the pass that
// handles it, then the pass that shows its effect.
inline void key(uint8_t k, int times = 1)
{
    while (times-- > 0) {
        host_post_key(k);
        pass(2);
    }
}

inline void keys(std::initializer_list<uint8_t> ks)
{
    for (uint8_t k : ks)
        key(k);
}

// KEY_RIGHT pressed n times (X10, X100 on the pages with coarse steps), then
// KEY_PUSH into edit mode.
inline void step_up_and_edit(int rights)
{
    key(KEY_RIGHT, rights);
    key(KEY_PUSH);
}

// A page made current as its parent opens it, cursor on the given row, and
// drawn once.
inline void open(screen_handler screen, uint8_t cursor = 0)
{
    st.current_screen = screen;
    reset_menu_cursor(cursor);
    pass();
}

// "On", a setting changed where one is given, then the page opened on a row.
inline void switch_on_and_open(screen_handler page, uint8_t cursor, uint8_t* setting = nullptr, uint8_t value = 0)
{
    switch_on();
    if (setting)
        *setting = value;
    open(page, cursor);
}

// The current screen's handler alone, once, on a cleared LCD with this key
// pending: its picture and what the key did, without the rest of a pass.
inline void run_screen(uint8_t k = KEY_NONE)
{
    lcd_clear();
    st.pending_key = k;
    st.current_screen();
}

inline std::vector<uint8_t> picture()
{
    return std::vector<uint8_t>(lcd_buffer, lcd_buffer + sizeof lcd_buffer);
}

inline uint8_t px(int x, int y)
{
    return lcd_buffer[y * LCD_WIDTH + x];
}

inline int count_colour(int x0, int y0, int x1, int y1, uint8_t colour)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += px(x, y) == colour;
    return n;
}

inline int count_lit(int x0, int y0, int x1, int y1)
{
    return (x1 - x0 + 1) * (y1 - y0 + 1) - count_colour(x0, y0, x1, y1, 0);
}

inline int lit_anywhere()
{
    return count_lit(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1);
}

// Where draw_text puts a text and which pixels it sets, worked out on a
// scratch copy: the LCD and the text extent are left as they were.
struct text_box { std::vector<std::pair<int, int>> pixels; uint16_t start, end; };
inline text_box place_text(uint16_t x, uint16_t y, const char* text, uint8_t size, uint8_t align)
{
    static uint8_t saved[sizeof lcd_buffer];
    memcpy(saved, lcd_buffer, sizeof lcd_buffer);
    const uint16_t start = st.text_start_x, end = st.text_end_x;
    lcd_clear();
    draw_text(x, y, text, 0, size, align, 1);
    text_box box{{}, st.text_start_x, st.text_end_x};
    for (int py = 0; py < LCD_HEIGHT; py++)
        for (int px_ = 0; px_ < LCD_WIDTH; px_++)
            if (px(px_, py))
                box.pixels.push_back({px_, py});
    memcpy(lcd_buffer, saved, sizeof lcd_buffer);
    st.text_start_x = start;
    st.text_end_x = end;
    return box;
}

// Every pixel of the text at that place, size and alignment is in colour on
// the LCD. Fails when the font draws nothing for it.
inline ::testing::AssertionResult text_at(uint16_t x, uint16_t y, const char* text, uint8_t size, uint8_t align,
                                          uint8_t colour)
{
    const text_box box = place_text(x, y, text, size, align);
    if (box.pixels.empty())
        return ::testing::AssertionFailure() << "font " << int(size) << " draws nothing for \"" << text << "\"";
    for (auto [x_, y_] : box.pixels)
        if (px(x_, y_) != colour)
            return ::testing::AssertionFailure() << "\"" << text << "\" pixel (" << x_ << "," << y_ << ") is "
                                                 << int(px(x_, y_)) << ", not " << int(colour);
    return ::testing::AssertionSuccess();
}

// Exactly the lit pixels of these texts (font 8, left-aligned at y, each
// following the one before) in the rectangle, in any colour.
inline ::testing::AssertionResult texts_fill(int x0, int y0, int x1, int y1, uint16_t y,
                                             std::initializer_list<const char*> texts)
{
    std::vector<bool> want(sizeof lcd_buffer);
    uint16_t x = 0;
    for (const char* t : texts) {
        const text_box box = place_text(x, y, t, 8, ALIGN_LEFT);
        for (auto [x_, y_] : box.pixels)
            want[y_ * LCD_WIDTH + x_] = true;
        x = box.end;
    }
    int differing = 0, lit = 0;
    for (int py = y0; py <= y1; py++)
        for (int px_ = x0; px_ <= x1; px_++) {
            differing += want[py * LCD_WIDTH + px_] != (px(px_, py) != 0);
            lit += px(px_, py) != 0;
        }
    if (lit == 0)
        return ::testing::AssertionFailure() << "nothing drawn in (" << x0 << "," << y0 << ")-(" << x1 << "," << y1
                                             << ")";
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ from the expected text";
    return ::testing::AssertionSuccess();
}

// The list lines 0..4: text tops at 27 + 16 * line, the band left of the
// scroll bar down to the next line (the last down to the footer rule).
constexpr int ROW_X1 = 150;
inline int row_top(int line)
{
    return 27 + 16 * line;
}
inline int row_bottom(int line)
{
    return line == 4 ? 109 : row_top(line) + 15;
}
inline int row_count_colour(int line, uint8_t colour)
{
    return count_colour(0, row_top(line), ROW_X1, row_bottom(line), colour);
}
inline int row_lit(int line)
{
    return count_lit(0, row_top(line), ROW_X1, row_bottom(line));
}

// The list line shows the label immediately followed by the value.
inline ::testing::AssertionResult row_shows(int line, const char* label, const char* value = "")
{
    return texts_fill(0, row_top(line), ROW_X1, row_bottom(line), uint16_t(row_top(line)), {label, value})
           << " on line " << line << " (expected \"" << label << value << "\")";
}

// The right footer slot, where the step label goes, centred at x 134, y 112.
inline int right_slot_lit()
{
    return count_lit(107, 111, 159, 127);
}
inline ::testing::AssertionResult step_label_shows(const char* text)
{
    const text_box box = place_text(134, 112, text, 8, ALIGN_CENTRE);
    if (right_slot_lit() != int(box.pixels.size()))
        return ::testing::AssertionFailure() << right_slot_lit() << " pixels lit in the right slot, \"" << text
                                             << "\" has " << box.pixels.size();
    return text_at(134, 112, text, 8, ALIGN_CENTRE, COLOUR_WHITE);
}

// The scroll-bar thumb read from its outer column (the track is at x 156).
struct thumb {
    int top = -1, bottom = -1;
    int height() const { return bottom - top; }
};
inline thumb scroll_thumb()
{
    thumb t;
    for (int y = 26; y < 110; y++)
        if (px(159, y) == COLOUR_WHITE) {
            if (t.top < 0)
                t.top = y;
            t.bottom = y;
        }
    return t;
}

// Where the keys have left the navigation. Only the fields given are
// compared: a screen (nullptr for any), cursor, scroll, edit mode and step
// (-1 for any).
struct place_in_menus { screen_handler screen = nullptr; int cursor = -1, scroll = -1, edit = -1, step = -1; };
inline ::testing::AssertionResult is_at(const place_in_menus& want)
{
    const struct { const char* name; int want, have; } fields[] = {
        {"menu_cursor", want.cursor, st.menu_cursor}, {"menu_scroll", want.scroll, st.menu_scroll},
        {"edit_mode", want.edit, st.edit_mode},       {"edit_step", want.step, st.edit_step}};
    if (want.screen && st.current_screen != want.screen)
        return ::testing::AssertionFailure() << "another screen is current";
    for (const auto& f : fields)
        if (f.want >= 0 && f.want != f.have)
            return ::testing::AssertionFailure() << f.name << " is " << f.have << ", not " << f.want;
    return ::testing::AssertionSuccess();
}

// The LCD, or a rectangle of it, against the gallery picture
// docs/screens/NAME.png (written at a whole scale), colour for colour through
// the palette, read as the replay tool reads its reference pictures.
inline ::testing::AssertionResult shows_picture(const char* name, int x0 = 0, int y0 = 0, int x1 = LCD_WIDTH - 1,
                                                int y1 = LCD_HEIGHT - 1)
{
    const std::string path = std::string(KTR7_SOURCE_DIR) + "/docs/screens/" + name + ".png";
    picture_comparison reference;
    char why[256];
    if (!compare_with_png(lcd_buffer, path.c_str(), reference, why, sizeof why))
        return ::testing::AssertionFailure() << path << ": " << why;
    int differing = 0, first_x = -1, first_y = -1;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            const size_t at = size_t(y) * reference.scale * reference.width + size_t(x) * reference.scale;
            const uint8_t* p = &reference.reference[3 * at];
            const uint32_t want = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            if (lcd_palette[px(x, y)] != want && differing++ == 0)
                first_x = x, first_y = y;
        }
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ from " << name << ".png, the first at ("
                                             << first_x << "," << first_y << "), index " << int(px(first_x, first_y));
    return ::testing::AssertionSuccess();
}

// The value steps of a setup page's row: with the cursor on the row in edit
// mode, the step multiplier at step and the field at start, one turn leaves
// expected in the field and the cursor on its row.
struct turn { uint8_t key, start, expected; };
struct row_turns { uint8_t row; uint8_t* field; std::vector<turn> turns; };
template <typename Open>
void expect_value_steps(Open open_on_row, std::initializer_list<row_turns> rows, uint16_t step = 1)
{
    for (const row_turns& r : rows)
        for (const turn& t : r.turns) {
            SCOPED_TRACE(testing::Message() << "row " << int(r.row) << " from " << int(t.start) << " key "
                                            << int(t.key));
            open_on_row(r.row);
            key(KEY_PUSH);
            ASSERT_EQ(st.edit_mode, 1);
            *r.field = t.start;
            st.edit_step = step;
            key(t.key);
            EXPECT_EQ(*r.field, t.expected);
            EXPECT_EQ(st.menu_cursor, r.row) << "the knob edits, it does not move";
        }
}

// On each row of a page, from row 0 on: KEY_RIGHT steps the multiplier
// through the cycle, its label showing only on the rows that take a step;
// then one step more and a move to the next row, which goes back to X1.
template <typename Labelled>
void expect_step_cycle(uint8_t rows, std::initializer_list<uint16_t> cycle, Labelled labelled)
{
    for (uint8_t row = 0; row < rows; row++) {
        SCOPED_TRACE(testing::Message() << "row " << int(row));
        ASSERT_TRUE(is_at({.cursor = row, .step = 1}));
        for (uint16_t step : cycle) {
            key(KEY_RIGHT);
            EXPECT_EQ(st.edit_step, step);
            if (labelled(row)) {
                EXPECT_TRUE(step_label_shows(("X" + std::to_string(step)).c_str()));
            } else {
                EXPECT_EQ(right_slot_lit(), 0);
            }
        }
        keys({KEY_RIGHT, KEY_CW});
    }
    EXPECT_TRUE(is_at({.cursor = 0, .step = 1})) << "the last row's move wraps to row 0, at X1";
}

// KEY_LEFT on a setup page in edit mode (after KEY_RIGHT, a coarse step where
// the page has them): the main menu comes back on the page's entry with the
// cursor state reset.
inline void expect_leaving_to_main_menu(uint8_t entry)
{
    keys({KEY_RIGHT, KEY_PUSH});
    ASSERT_EQ(st.edit_mode, 1);
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_main_menu, .cursor = entry, .scroll = 0, .edit = 0, .step = 1}));
}

// A key the current page ignores: it is consumed, and the page, the
// navigation and the LCD stay as they were.
inline void expect_key_ignored(uint8_t k)
{
    SCOPED_TRACE(testing::Message() << "key " << int(k));
    const auto before = picture();
    const instrument_state was = st;
    key(k);
    EXPECT_TRUE(is_at({.screen = was.current_screen, .cursor = was.menu_cursor, .scroll = was.menu_scroll,
                       .edit = was.edit_mode, .step = was.edit_step}));
    EXPECT_EQ(st.pending_key, KEY_NONE);
    EXPECT_TRUE(picture() == before);
}

// Fields that must stay within their ranges, named for the message.
struct bound { const char* name; long value, low, high; };
inline ::testing::AssertionResult within(std::initializer_list<bound> bounds)
{
    for (const bound& b : bounds)
        if (b.value < b.low || b.value > b.high)
            return ::testing::AssertionFailure() << b.name << " is " << b.value << ", outside " << b.low << ".."
                                                 << b.high;
    return ::testing::AssertionSuccess();
}

// Fields that must hold these values, named for the message.
struct field_value { const char* name; long value, want; };
inline ::testing::AssertionResult fields_are(std::initializer_list<field_value> fields)
{
    for (const field_value& f : fields)
        if (f.value != f.want)
            return ::testing::AssertionFailure() << f.name << " is " << f.value << ", not " << f.want;
    return ::testing::AssertionSuccess();
}

// A page that only shows something: every key but KEY_LEFT is consumed and
// leaves the LCD as it was; KEY_LEFT goes back to the parent on its row.
inline void expect_only_left_leaves(screen_handler parent, uint8_t row)
{
    for (uint8_t k : {KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW})
        expect_key_ignored(k);
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = parent, .cursor = row}));
}

// A move of the list cursor: from a row, a key, to a row, the scroll after
// it, and the scroll thumb's top and height.
struct cursor_move { uint8_t from, key, to, scroll; int thumb_top, thumb_height; };

// Each move on a page opened on its row with the step multiplier at step:
// the page stays, out of edit mode, the step back to X1, the thumb in place
// and the selected line alone in red, all of it red.
template <typename Open>
void expect_cursor_moves(Open open_on_row, uint16_t step, std::initializer_list<cursor_move> moves)
{
    for (const cursor_move& m : moves) {
        SCOPED_TRACE(testing::Message() << "row " << int(m.from) << " key " << int(m.key));
        open_on_row(m.from);
        const screen_handler page = st.current_screen;
        st.edit_step = step;
        key(m.key);
        EXPECT_TRUE(is_at({.screen = page, .cursor = m.to, .scroll = m.scroll, .edit = 0, .step = 1}));
        EXPECT_EQ(scroll_thumb().top, m.thumb_top);
        EXPECT_EQ(scroll_thumb().height(), m.thumb_height);
        for (int line = 0; line < 5; line++)
            EXPECT_EQ(row_count_colour(line, COLOUR_RED) > 0, line == m.to - m.scroll) << "line " << line;
        EXPECT_EQ(row_count_colour(m.to - m.scroll, COLOUR_WHITE), 0);
    }
}

// Every screen handler with its name, in the order screens.h declares them.
struct named_screen { screen_handler handler; const char* name; };
#define KTR7_NAMED(screen) {screen, #screen}
inline const named_screen all_screens[] = {
    KTR7_NAMED(screen_main),          KTR7_NAMED(screen_flight_start_stop), KTR7_NAMED(screen_unlock),
    KTR7_NAMED(screen_code_check),    KTR7_NAMED(screen_code_new),          KTR7_NAMED(screen_code_confirm),
    KTR7_NAMED(screen_code_result),   KTR7_NAMED(screen_security_setup),    KTR7_NAMED(screen_main_menu),
    KTR7_NAMED(screen_adc_values),    KTR7_NAMED(screen_info),              KTR7_NAMED(screen_alt_setup),
    KTR7_NAMED(screen_test_warning),  KTR7_NAMED(screen_test_altitude),     KTR7_NAMED(screen_vsi_setup),
    KTR7_NAMED(screen_asi_setup),     KTR7_NAMED(screen_asi_zero_confirm),  KTR7_NAMED(screen_timers_setup),
    KTR7_NAMED(screen_misc_setup),    KTR7_NAMED(screen_backlight),         KTR7_NAMED(screen_defaults_confirm),
    KTR7_NAMED(screen_message_done),
};
#undef KTR7_NAMED

inline bool speed_limits_ordered()
{
    const uint16_t* v = st.speed_limits;
    return 10 <= v[VS0] && v[VS0] <= v[VS1] && v[VS1] <= v[VFE] && v[VFE] <= v[VNO] && v[VNO] <= v[VNE] &&
           v[VNE] <= 500;
}

// The speed limits in order and every setting, the flight time and the code
// digits within their ranges, or the first that is not.
inline ::testing::AssertionResult settings_in_range()
{
    if (!speed_limits_ordered())
        return ::testing::AssertionFailure() << "speed limits out of order";
    const uint8_t* d = st.code_digits;
    return within({
        {"qnh", long(st.qnh), 940251, 1080249},           {"security_enabled", st.security_enabled, 0, 1},
        {"altitude_unit", st.altitude_unit, 0, 1},        {"pressure_unit", st.pressure_unit, 0, 1},
        {"serial_out", st.serial_out, 0, 1},              {"serial_protocol", st.serial_protocol, 0, 5},
        {"altitude_resolution", st.altitude_resolution, 0, 4}, {"alt_on_top", st.alt_on_top, 0, 1},
        {"vsi_display", st.vsi_display, 0, 1},            {"vsi_unit", st.vsi_unit, 0, 1},
        {"vsi_scale", st.vsi_scale, 0, 2},                {"asi_unit", st.asi_unit, 0, 2},
        {"asi_filter", st.asi_filter, 0, 2},              {"vne_alarm", st.vne_alarm, 0, 1},
        {"vs_alarm", st.vs_alarm, 0, 1},                  {"flight_timer_mode", st.flight_timer_mode, 0, 1},
        {"altitude_cal_offset", st.altitude_cal_offset, -125, 125}, {"asi_cal_percent", st.asi_cal_percent, 50, 150},
        {"vsi_cal_percent", st.vsi_cal_percent, 50, 150}, {"asi_zero_offset", st.asi_zero_offset, 0, 4096},
        {"takeoff_airspeed", st.takeoff_airspeed, 0, 500}, {"backlight_level", st.backlight_level, 10, 100},
        {"security_code", st.security_code, 0, 9999},     {"flight_tenths", st.flight_tenths, 0, 9},
        {"flight_seconds", st.flight_seconds, 0, 59},     {"flight_minutes", st.flight_minutes, 0, 59},
        {"flight_hours", st.flight_hours, 0, 99},
        {"code digit 0", d[0], 0, 9}, {"code digit 1", d[1], 0, 9}, {"code digit 2", d[2], 0, 9},
        {"code digit 3", d[3], 0, 9},
    });
}

// "On", then random keys on one page, mostly staying on it (a page left is
// reopened on a random row); check() runs after every pass and stops at its
// first failure.
template <typename Check>
void random_use(screen_handler page, uint8_t rows, int passes, unsigned seed, Check check)
{
    std::mt19937 random(seed);
    const uint8_t all_keys[] = {KEY_LEFT, KEY_RIGHT, KEY_PUSH, KEY_CW, KEY_CCW};
    switch_on();
    open(page, 0);
    for (int i = 0; i < passes; i++) {
        uint8_t k = all_keys[random() % 5];
        if (k == KEY_LEFT && random() % 8)
            k = KEY_CW;
        host_post_key(k);
        pass();
        SCOPED_TRACE(testing::Message() << "pass " << i);
        check();
        if (::testing::Test::HasFatalFailure())
            return;
        if (st.current_screen != page)
            open(page, uint8_t(random() % rows));
    }
}

}  // namespace screen_test
