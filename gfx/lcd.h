// The LCD frame buffer and the drawing primitives. Coordinates are unsigned
// 16-bit; anything off screen is dropped pixel by pixel in lcd_set_pixel.
#pragma once
#include <cstdint>

constexpr uint16_t LCD_WIDTH = 160;
constexpr uint16_t LCD_HEIGHT = 128;

extern uint8_t lcd_buffer[LCD_WIDTH * LCD_HEIGHT];

extern float sin_pos[361], sin_neg[361], cos_pos[361], cos_neg[361];
constexpr double DEG_TO_RAD = 0.017453292519943295;

void lcd_clear();
// Inline: every text glyph and primitive draws through it, pixel by pixel.
inline void lcd_set_pixel(uint16_t x, uint16_t y, uint8_t colour)
{
    if (x < LCD_WIDTH && y < LCD_HEIGHT)
        lcd_buffer[y * LCD_WIDTH + x] = colour;
}
void lcd_hline(uint16_t x0, uint16_t x1, uint16_t y, uint8_t colour);
void lcd_vline(uint16_t y0, uint16_t y1, uint16_t x, uint8_t colour);
void lcd_line(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t colour);
void lcd_frame(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t colour);
void lcd_fill(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t colour);
void lcd_arc(uint16_t cx, uint16_t cy, uint16_t radius, int16_t start_deg, int16_t end_deg, uint8_t colour);

void init_trig_tables();
float deg_sin(int16_t degrees);
float deg_cos(int16_t degrees);
