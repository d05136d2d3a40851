// Text rendering in the nine bitmap fonts.
#pragma once
#include <cstdint>

constexpr uint8_t ALIGN_CENTRE = 0;
constexpr uint8_t ALIGN_LEFT = 1;
constexpr uint8_t ALIGN_RIGHT = 2;

// Draws the set bits of each glyph of text in colour; y is the top row of the
// glyph cells. Leaves the drawn extent in st.text_start_x and st.text_end_x,
// and the call in lcd_text_log (gfx/text_log.h).
void draw_text(uint16_t x, uint16_t y, const char* text, uint8_t reserved, uint8_t size, uint8_t align,
               uint8_t colour);

// The font record that a size code selects (8 and every unlisted code: font_8).
const uint8_t* font_for_size(uint8_t size);
