// Altitude-encoder sentences in the six serial formats.
#pragma once
#include <cstdint>

uint8_t checksum8(const char* text);

// Builds the sentence for serial_protocol into st.serial_line.
void format_encoder_sentence();
