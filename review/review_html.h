// A flight's review as one HTML page that opens offline in any browser:
// the summary, interactive time plots drawn by dygraphs (inlined), the LCD
// at the chosen moments as PNG pictures inside the page, and the settings.
#pragma once
#include <string>

#include "review/flight_review.h"

// The charting library the page inlines: its script and style sheet.
struct review_page_library {
    std::string script;
    std::string style;
};

// The page, whole. flight_name names the log in the title and heading
// (a file's name, as the host knows it); made_by names the program.
std::string review_html(const flight_review& review, const std::string& flight_name, const std::string& made_by,
                        const review_page_library& library);
