// The page's own script: reads the review's data (REVIEW, written before it)
// and draws the three time plots with dygraphs, kept on one time window.
#pragma once

extern const char REVIEW_PAGE_SCRIPT[];
extern const char REVIEW_PAGE_STYLE[];
