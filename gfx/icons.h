// The eight 50 x 50 icons, all held in one image store (see tools/icongen).
#pragma once
#include <cstdint>

extern const uint8_t icon_store[];
extern const uint32_t icon_store_size;

extern const uint8_t* const icon_exclamation;
extern const uint8_t* const icon_question;
extern const uint8_t* const icon_alt_setup;
extern const uint8_t* const icon_vsi_setup;
extern const uint8_t* const icon_asi_setup;
extern const uint8_t* const icon_timers_setup;
extern const uint8_t* const icon_misc_setup;
extern const uint8_t* const icon_adc_values;
