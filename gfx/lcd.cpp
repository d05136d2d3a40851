#include "gfx/lcd.h"

#include <cmath>
#include <cstring>

#include "gfx/text_log.h"

uint8_t lcd_buffer[LCD_WIDTH * LCD_HEIGHT];
float sin_pos[361], sin_neg[361], cos_pos[361], cos_neg[361];

void lcd_clear()
{
    memset(lcd_buffer, 0, sizeof lcd_buffer);
    text_log_clear();
}

// A span is the pixels of x0..x1 that are on screen, set in one go.
void lcd_hline(uint16_t x0, uint16_t x1, uint16_t y, uint8_t colour)
{
    if (x0 > x1 || x0 >= LCD_WIDTH || y >= LCD_HEIGHT)
        return;
    const uint16_t last = x1 < LCD_WIDTH ? x1 : LCD_WIDTH - 1;
    memset(lcd_buffer + y * LCD_WIDTH + x0, colour, size_t(last - x0 + 1));
}

// The loop counts in 32 bits so that an end coordinate of 65535 ends.

void lcd_vline(uint16_t y0, uint16_t y1, uint16_t x, uint8_t colour)
{
    if (y0 > y1)
        return;
    for (uint32_t y = y0; y <= y1; y++)
        lcd_set_pixel(x, uint16_t(y), colour);
}

void lcd_line(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t colour)
{
    int16_t dx = int16_t(x1 > x0 ? x1 - x0 : x0 - x1);
    int16_t dy = int16_t(y1 > y0 ? y1 - y0 : y0 - y1);
    // Differences of 32768 or more would overflow the counts; callers never
    // pass them, and drawing nothing keeps every write on screen.
    if (dx < 0 || dy < 0)
        return;
    uint16_t sx = x0 <= x1 ? 1 : uint16_t(-1);
    uint16_t sy = y0 <= y1 ? 1 : uint16_t(-1);
    uint16_t x = x0, y = y0;
    if (dx >= dy) {
        int32_t err = 2 * dy - dx;
        for (int32_t i = 0; i <= dx; i++) {
            lcd_set_pixel(x, y, colour);
            if (err > 0) {
                x = uint16_t(x + sx);
                y = uint16_t(y + sy);
                err += 2 * dy - 2 * dx;
            } else {
                x = uint16_t(x + sx);
                err += 2 * dy;
            }
        }
    } else {
        int32_t err = 2 * dx - dy;
        for (int32_t i = 0; i <= dy; i++) {
            lcd_set_pixel(x, y, colour);
            if (err > 0) {
                x = uint16_t(x + sx);
                y = uint16_t(y + sy);
                err += 2 * dx - 2 * dy;
            } else {
                y = uint16_t(y + sy);
                err += 2 * dx;
            }
        }
    }
}

void lcd_frame(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t colour)
{
    if (y0 == y1)
        return;
    lcd_vline(y0, y1, x0, colour);
    lcd_hline(x0, x1, y0, colour);
    lcd_vline(y0, y1, x1, colour);
    lcd_hline(x0, x1, y1, colour);
}

void lcd_fill(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t colour)
{
    if (y0 == y1 || y0 > y1)
        return;
    for (uint32_t y = y0; y <= y1; y++)
        lcd_hline(x0, x1, uint16_t(y), colour);
}

void lcd_arc(uint16_t cx, uint16_t cy, uint16_t radius, int16_t start_deg, int16_t end_deg, uint8_t colour)
{
    // Callers always pass start < end within -360..360; anything else draws nothing.
    if (start_deg >= end_deg || start_deg < -360 || end_deg > 360)
        return;
    for (int16_t a = start_deg; a != end_deg; a++) {
        // A float times a whole number below 65536 is exact in double.
        int32_t ox = int32_t(double(deg_cos(a)) * radius);
        int32_t oy = int32_t(double(deg_sin(a)) * radius);
        lcd_set_pixel(uint16_t(cx + ox), uint16_t(cy + oy), colour);
    }
}

void init_trig_tables()
{
    for (int k = 0; k <= 360; k++) {
        double rad = double(k) * DEG_TO_RAD;
        sin_pos[k] = float(sin(rad));
        cos_pos[k] = float(cos(rad));
    }
    for (int k = 0; k <= 360; k++) {
        double rad = double(-k) * DEG_TO_RAD;
        sin_neg[k] = float(sin(rad));
        cos_neg[k] = float(cos(rad));
    }
}

static int16_t clamp_degrees(int16_t degrees)
{
    return degrees > 360 ? 360 : degrees < -360 ? -360 : degrees;
}

float deg_sin(int16_t degrees)
{
    degrees = clamp_degrees(degrees);
    return degrees >= 0 ? sin_pos[degrees] : sin_neg[-degrees];
}

float deg_cos(int16_t degrees)
{
    degrees = clamp_degrees(degrees);
    return degrees >= 0 ? cos_pos[degrees] : cos_neg[-degrees];
}
