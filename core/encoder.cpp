#include "core/encoder.h"
#include "core/state.h"
// PLACEHOLDER until the encoder sentences are written.
uint8_t checksum8(const char*) { return 0; }
void format_encoder_sentence() { st.serial_line[0] = 0; }
