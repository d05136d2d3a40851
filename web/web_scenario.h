// Scenarios in the web page: the scenario language's one executor, live on
// the page's clock, against the page's session. The page lends the pictures
// of "expect png" (decoded by the browser, handed over before the run) and
// the flights of "flight" (read when the line runs).
#pragma once
#include <cstdint>

extern "C" {

// Starts playing length bytes of script (copied), stopping one that plays.
void web_scenario_start(const char* script, int length);
// Ends the run where it is.
void web_scenario_stop();
int web_scenario_playing();
// The line being played, 1-based.
int web_scenario_line();

// The run's result: SCENARIO_OK, SCENARIO_EXPECTATION_FAILED or
// SCENARIO_BAD_LINE; the tally; the failed expectations and the bad line
// with their line numbers; the bad line's number (0 when none stopped it).
int web_scenario_status();
int web_scenario_passed();
int web_scenario_failed();
int web_scenario_failures();
int web_scenario_failure_line(int i);
const char* web_scenario_failure_text(int i);
int web_scenario_stopped_at();

// The reference pictures of the next run, by the name its "expect png"
// lines give: rgba is width x height pixels of four bytes as the browser
// decoded the file; a picture that could not be decoded is unusable, why.
void web_references_clear();
void web_reference_add(const char* name, const uint8_t* rgba, int width, int height);
void web_reference_unusable(const char* name, const char* why);
}
