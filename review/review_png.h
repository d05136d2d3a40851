// The review page's pictures on a host with libpng: an LCD frame as an
// indexed PNG with the LCD palette (picture/lcd_png.h), as a data: URI.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A review_picture_writer (review/review_html.h).
bool review_png_data_uri(const uint8_t* frame, int scale, std::string& data_uri, std::string& why);

// Bytes as base64 (RFC 4648, with padding).
std::string base64(const std::vector<uint8_t>& bytes);
