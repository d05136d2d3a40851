#include "scenario/escape.h"

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

size_t escape_bytes(const char* text, size_t length, char* out, size_t cap)
{
    static const char hex[] = "0123456789ABCDEF";
    if (cap == 0)
        return 0;
    size_t n = 0;
    for (size_t i = 0; i < length; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c <= 0x7E && c != '\\' && c != '#') {
            if (n + 1 >= cap)
                break;
            out[n++] = char(c);
        } else {
            if (n + 4 >= cap)
                break;
            out[n++] = '\\';
            out[n++] = 'x';
            out[n++] = hex[c >> 4];
            out[n++] = hex[c & 0x0F];
        }
    }
    out[n] = '\0';
    return n;
}

size_t unescape_bytes(std::string_view text, char* out, size_t cap)
{
    if (cap == 0)
        return 0;
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < cap; i++) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hex_digit(text[i + 2]) >= 0 &&
            hex_digit(text[i + 3]) >= 0) {
            out[n++] = char(hex_digit(text[i + 2]) * 16 + hex_digit(text[i + 3]));
            i += 3;
        } else {
            out[n++] = text[i];
        }
    }
    out[n] = '\0';
    return n;
}
