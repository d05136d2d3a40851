// What draw_text drew since the LCD was last cleared, so that a host can read
// what the screen says: each call's string, reference point, extent, font
// size, alignment and colour, in the order drawn. Fixed size, no allocation:
// calls past TEXT_LOG_CAPACITY are counted in dropped but not kept, and a
// string keeps its first TEXT_LOG_CHARS bytes (more than fit across the LCD
// in the narrowest glyphs).
#pragma once
#include <cstdint>

constexpr int TEXT_LOG_CAPACITY = 32;  // twice what the busiest screen draws
constexpr int TEXT_LOG_CHARS = 40;

struct drawn_text {
    char text[TEXT_LOG_CHARS + 1];  // zero-terminated
    uint8_t size;                   // the size code passed
    uint8_t align;                  // as passed: ALIGN_LEFT, ALIGN_RIGHT, else centred
    uint8_t colour;                 // palette index of the ink
    uint16_t x, y;                  // the reference column and the cells' top row
    uint16_t start_x, end_x;        // text_start_x and text_end_x after the call
};

struct text_log {
    uint16_t count;    // entries kept
    uint16_t dropped;  // calls not kept, the log being full
    drawn_text entries[TEXT_LOG_CAPACITY];
};

extern text_log lcd_text_log;

// Empties the log; lcd_clear does it with the picture.
void text_log_clear();
