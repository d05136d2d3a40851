#include "gfx/text.h"
#include "core/state.h"
// PLACEHOLDER until the fonts and renderer are written.
const uint8_t* font_for_size(uint8_t) { return nullptr; }
void draw_text(uint16_t x, uint16_t, const char*, uint8_t, uint8_t, uint8_t, uint8_t)
{
    st.text_start_x = x;
    st.text_end_x = x;
}
