#include "gfx/icons.h"
// PLACEHOLDER until the icons are generated.
const uint8_t icon_store[] = {1, 0, 1, 0, 0x81, 0};
const uint32_t icon_store_size = sizeof icon_store;
const uint8_t* const icon_exclamation = icon_store;
const uint8_t* const icon_question = icon_store;
const uint8_t* const icon_alt_setup = icon_store;
const uint8_t* const icon_vsi_setup = icon_store;
const uint8_t* const icon_asi_setup = icon_store;
const uint8_t* const icon_timers_setup = icon_store;
const uint8_t* const icon_misc_setup = icon_store;
const uint8_t* const icon_adc_values = icon_store;
