// Everything of the instrument that changes while it runs (the state record,
// the frame buffer and its text log, the trig tables and what the passes left
// for the host), held apart so that several instruments can live in one
// process. The instrument's code keeps its one static record and frame
// buffer; the image of the instrument that is about to run is copied into
// them, and the one that ran before is copied out.
#pragma once
#include <cstdint>

#include "core/state.h"
#include "gfx/lcd.h"
#include "gfx/text_log.h"
#include "host/pass.h"

constexpr int TRIG_TABLE_SIZE = 361;

struct instrument_image {
    instrument_state state;
    uint8_t frame[LCD_WIDTH * LCD_HEIGHT];
    text_log texts;  // what the frame's strings say
    float sin_pos[TRIG_TABLE_SIZE], sin_neg[TRIG_TABLE_SIZE];
    float cos_pos[TRIG_TABLE_SIZE], cos_neg[TRIG_TABLE_SIZE];
    pass_outputs outputs;
};

// Copies the running instrument out into image, or image into it.
void save_instrument(instrument_image& image);
void load_instrument(const instrument_image& image);
