// "print lcd": the LCD drawn as lines of text, for a terminal or a log. Each
// character cell stands for one column of two LCD rows, so the LCD is
// LCD_HEIGHT / 2 lines of LCD_WIDTH cells.
// - colour: the upper half block, its ink the upper pixel's colour and its
//   background the lower's, in the terminal's 256 colours;
// - plain: one character per colour role (see lcd_art_character), for output
//   that takes no colour.
#pragma once
#include <cstdint>
#include <string>

enum class lcd_art_style : uint8_t { plain, colour };

// Line row (0 .. LCD_HEIGHT / 2 - 1) of the picture of frame (LCD_WIDTH x
// LCD_HEIGHT palette indices).
std::string lcd_art_line(const uint8_t* frame, int row, lcd_art_style style);

// The character a palette index shows as in plain lines: ' ' background,
// '#' text, '=' highlight, '+' caption, '%' caution, '*' indicator, 'o'
// any other colour.
char lcd_art_character(uint8_t colour);

// The terminal's 256-colour code nearest to a palette index's colour, taken
// from the 6 x 6 x 6 cube and the grey ramp (16..255), whose colours every
// such terminal shows alike.
uint8_t terminal_colour(uint8_t colour);

// How print lcd draws on a stream: in colour only where it is a terminal and
// the environment does not set NO_COLOR.
lcd_art_style lcd_art_style_for(int file_descriptor);
