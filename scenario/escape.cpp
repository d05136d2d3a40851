#include "scenario/escape.h"

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
