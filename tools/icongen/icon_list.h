// The icon set shared by the icon tools: names, artwork files, the palette
// indices each icon may use, and the legend of the text pixel maps.
#pragma once
#include <cstdint>

constexpr int ICON_SIZE = 50;

struct icon_entry {
    const char* name;      // the C++ name in gfx/icons.h
    const char* file;      // pixel map under tools/icongen/art
    const char* shows;     // what the drawing shows
    const char* indices;   // legend characters it may use
};

// Store order; the screens refer to the icons by name only.
constexpr icon_entry ICONS[] = {
    {"icon_exclamation", "exclamation.txt",
     "a red exclamation mark outlined in white inside a white circle", ".RW"},
    {"icon_question", "question.txt",
     "a red question mark outlined in white inside a white circle", ".RW"},
    {"icon_alt_setup", "alt_setup.txt",
     "a round altimeter dial in white with tick marks, two dark grey hands and a small counter window", ".dW"},
    {"icon_vsi_setup", "vsi_setup.txt",
     "a vertical white scale with magenta segments and a white box with digits", ".MW"},
    {"icon_asi_setup", "asi_setup.txt",
     "a round airspeed dial in white with red, yellow and green arc bands and a white pointer", ".RGYW"},
    {"icon_timers_setup", "timers_setup.txt",
     "an alarm-clock face in white with light grey bells and yellow hands", ".lYW"},
    {"icon_misc_setup", "misc_setup.txt",
     "four small symbols: a red question mark, a yellow sun, a padlock in light and dark grey, "
     "a green ring with a letter i", ".dlRGY"},
    {"icon_adc_values", "adc_values.txt",
     "a yellow and red check-shaped trace above a green square wave", ".RGY"},
};
constexpr int ICON_COUNT = int(sizeof ICONS / sizeof ICONS[0]);

// One character per palette index in the pixel maps.
struct legend_entry {
    char symbol;
    uint8_t index;
    const char* colour;
};

constexpr legend_entry LEGEND[] = {
    {'.', 0, "black"},      {'d', 7, "dark grey"}, {'l', 8, "light grey"},
    {'R', 9, "red"},        {'G', 10, "green"},    {'Y', 11, "yellow"},
    {'M', 13, "magenta"},   {'W', 15, "white"},
};

// Palette index of a legend character, or -1 if it has none.
inline int legend_index(char symbol)
{
    for (const legend_entry& e : LEGEND)
        if (e.symbol == symbol)
            return e.index;
    return -1;
}

inline char legend_symbol(uint8_t index)
{
    for (const legend_entry& e : LEGEND)
        if (e.index == index)
            return e.symbol;
    return '?';
}
