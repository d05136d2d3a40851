#include "session/instrument_image.h"

#include <cstring>

static_assert(sizeof(instrument_image::frame) == sizeof(lcd_buffer));
static_assert(sizeof(instrument_image::sin_pos) == sizeof(sin_pos));

void save_instrument(instrument_image& image)
{
    image.state = st;
    memcpy(image.frame, lcd_buffer, sizeof image.frame);
    image.texts = lcd_text_log;
    memcpy(image.sin_pos, sin_pos, sizeof image.sin_pos);
    memcpy(image.sin_neg, sin_neg, sizeof image.sin_neg);
    memcpy(image.cos_pos, cos_pos, sizeof image.cos_pos);
    memcpy(image.cos_neg, cos_neg, sizeof image.cos_neg);
    image.outputs = current_pass_outputs();
}

void load_instrument(const instrument_image& image)
{
    st = image.state;
    memcpy(lcd_buffer, image.frame, sizeof image.frame);
    lcd_text_log = image.texts;
    memcpy(sin_pos, image.sin_pos, sizeof image.sin_pos);
    memcpy(sin_neg, image.sin_neg, sizeof image.sin_neg);
    memcpy(cos_pos, image.cos_pos, sizeof image.cos_pos);
    memcpy(cos_neg, image.cos_neg, sizeof image.cos_neg);
    current_pass_outputs() = image.outputs;
}
