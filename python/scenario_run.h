// Instrument.run_scenario: a scenario run by the language's one executor on
// the instrument's own session, from program start, as ktr7-replay runs it;
// what the tool would write collected as lines.
#pragma once
#include <string>
#include <vector>

class instrument;

// What run_scenario gives Python back (ScenarioResult).
struct scenario_report {
    int status = 0;       // SCENARIO_OK, SCENARIO_EXPECTATION_FAILED or SCENARIO_BAD_LINE
    long passed = 0;      // expectations that held
    long failed = 0;      // and that did not
    long stopped_at = 0;  // the line that stopped the run; 0 when none did
    std::vector<std::string> output;    // the lines the tool writes on standard output
    std::vector<std::string> messages;  // and on standard error
};

// Runs script (folder: where its relative references are, "" for the
// working directory) and leaves the instrument as the scenario left it.
scenario_report run_scenario_text(instrument& owner, const std::string& script, const std::string& folder);
