// Instrument.run_scenario: a scenario run as ktr7-replay runs it, from program
// start, its output and messages captured as lines.
#pragma once
#include <string>
#include <vector>

class instrument;

struct scenario_result {
    int status = 0;      // REPLAY_OK, REPLAY_EXPECTATION_FAILED or REPLAY_FAILED
    long passed = 0;     // expectations that held
    long failed = 0;     // and that did not
    std::vector<std::string> output;    // the lines the tool writes on standard output
    std::vector<std::string> messages;  // and on standard error
};

// Runs script (folder: where its relative expect png references are, "" for
// the working directory) and leaves the instrument as the scenario left it.
scenario_result run_scenario_text(instrument& owner, const std::string& script, const std::string& folder);
