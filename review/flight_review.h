// What a pilot reviews after a flight played through the instrument: the
// log's particulars, what the instrument showed (its summary, the plotted
// series, every alarm period, the LCD at the moments that matter) and the
// settings it was played with. Built as the session plays the flight
// (review/review_recorder.h); written as a page by review/review_html.h.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "flight/flight.h"
#include "flight/flight_summary.h"
#include "gfx/lcd.h"
#include "review/thinned_series.h"

using review_frame = std::array<uint8_t, LCD_WIDTH * LCD_HEIGHT>;

// The most LCD pictures a review shows.
constexpr size_t REVIEW_MOMENTS_MAX = 12;

enum class alarm_kind : uint8_t { overspeed, stall };

// From the first tick the alarm held to the first tick it no longer did (or
// a tick past the last one played while it still held).
struct alarm_period {
    double start = 0.0;
    double end = 0.0;
    alarm_kind kind = alarm_kind::overspeed;
};

struct review_moment {
    double time = 0.0;
    std::string what;  // "take-off", "highest airspeed 229 mph", "stall alarm", ... joined by ", "
    review_frame frame{};
};

// A row of a setup page, as the page names it: "ALTITUDE", "CAL", "+0 ft".
struct review_setting {
    std::string page;
    std::string name;
    std::string value;
};

// The log, as the flight's reader left it.
struct review_log {
    int year = 0, month = 0, day = 0;
    std::string pilot, glider;
    size_t fixes = 0;
    long invalid_fixes = 0;
    std::string skipped;  // "3 records: malformed at lines 12, 40; ...", "" when none
    double start = 0.0, end = 0.0;
    altitude_source altitude_from = altitude_source::pressure;
    airspeed_source airspeed_from = airspeed_source::ground_speed;
    bool vario_logged = false;
};

struct flight_review {
    review_log log;
    flight_summary shown;
    // Units and limits at the first tick played.
    uint8_t altitude_unit = 0, asi_unit = 0, vsi_unit = 0;
    uint16_t speed_limits[5] = {};
    // One value a tick, thinned: the altitude shown and the logged altitude
    // in the altitude unit, the vertical speed fed to the VSI (ft/min) and
    // the airspeed shown in the airspeed unit.
    std::vector<series_point> altitude, logged_altitude, vertical_speed, airspeed;
    std::vector<alarm_period> alarms;  // every one, in time order
    std::vector<review_moment> moments;  // in time order, at most REVIEW_MOMENTS_MAX
    std::vector<review_setting> settings;
};
