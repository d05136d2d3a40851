// The instrument's settings and calibration from the state record as it is
// now, row by row as its setup pages show them (with QNH from the main
// display), for a reader who wants to know what a flight was played with.
#pragma once
#include <vector>

#include "review/flight_review.h"

std::vector<review_setting> instrument_settings();
