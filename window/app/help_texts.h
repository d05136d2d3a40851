// The texts of the Help menu: which keyboard key and which click or wheel
// turn in the window stands for each of the instrument's keys and knob
// movements, and About (version, the licence of the bundled LCD font).
#pragma once
#include <QString>

#include <array>
#include <cstdint>

// One of the instrument's inputs and what gives it in the window.
struct control_map_row {
    uint8_t key;                 // KEY_LEFT .. KEY_CCW
    const char* control;         // the instrument's control, "Knob, pushed"
    std::array<int, 2> keyboard; // Qt::Key values, 0 where there is no second
    const char* mouse;           // the click or wheel turn in the window
};

// The instrument's five inputs in the order of their key codes.
extern const std::array<control_map_row, 5> CONTROL_MAP;

// Help > Keyboard and Mouse: CONTROL_MAP as a table (rich text), and when
// the keyboard reaches the instrument.
QString keyboard_map_text();

// Help > About: the program, its version and the Qt it runs on, and the
// licence of the font the LCD's text is drawn in (rich text).
QString about_text();
