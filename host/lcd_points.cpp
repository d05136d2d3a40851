#include "host/lcd_points.h"

#include "gfx/lcd.h"
#include "host/palette.h"

int lcd_collect_points(const uint8_t* buffer, lcd_point* points)
{
    int n = 0;
    for (uint16_t y = 0; y < LCD_HEIGHT; y++) {
        for (uint16_t x = 0; x < LCD_WIDTH; x++) {
            uint32_t c = lcd_palette[buffer[y * LCD_WIDTH + x]];
            if (c == 0)
                continue;
            points[n++] = {x, y, uint8_t(c >> 16 & 0xFF), uint8_t(c >> 8 & 0xFF), uint8_t(c & 0xFF)};
        }
    }
    return n;
}
