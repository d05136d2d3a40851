// The flight's review page in the web page: what the page's session played
// of its flight, followed from the start by the review's recorder, written by
// the same code as ktr7-replay --report; the browser makes its pictures.
#pragma once

extern "C" {

// Ticks of flight recorded since the flight was opened (or played again
// from an earlier time).
double web_review_ticks();
// The page (valid until the next call) with the charting library's script
// and style sheet the page fetched from its site; name is the log's.
const char* web_review_page(const char* script, const char* style, const char* name);
}
