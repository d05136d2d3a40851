// A flight's review as one HTML page that opens offline in any browser:
// the summary, interactive time plots drawn by dygraphs (inlined), the LCD
// at the chosen moments as PNG pictures inside the page, and the settings.
#pragma once
#include <cstdint>
#include <string>

#include "review/flight_review.h"

// The charting library the page inlines: its script and style sheet.
struct review_page_library {
    std::string script;
    std::string style;
};

// How a host makes an LCD frame (LCD_WIDTH x LCD_HEIGHT palette indices)
// into a picture the page holds: a PNG, each pixel scale x scale, as a
// data: URI. False, with why, when it cannot.
using review_picture_writer = bool (*)(const uint8_t* frame, int scale, std::string& data_uri, std::string& why);

// The page, whole. flight_name names the log in the title and heading
// (a file's name, as the host knows it); made_by names the program.
std::string review_html(const flight_review& review, const std::string& flight_name, const std::string& made_by,
                        const review_page_library& library, review_picture_writer pictures);
