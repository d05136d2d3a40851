#include "review/review_png.h"

#include "picture/lcd_png.h"

std::string base64(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = uint32_t(bytes[i]) << 16 | (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? uint32_t(bytes[i + 2]) : 0);
        out += digits[n >> 18 & 63];
        out += digits[n >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

bool review_png_data_uri(const uint8_t* frame, int scale, std::string& data_uri, std::string& why)
{
    std::vector<uint8_t> png;
    char reason[128];
    if (!png_in_memory(frame, scale, png, reason, sizeof reason)) {
        why = reason;
        return false;
    }
    data_uri = "data:image/png;base64," + base64(png);
    return true;
}
