// Expectations of a scenario: a field's value or range, the newest encoder
// sentence since "on" (as the shared pass keeps it), and a string on the LCD.
// Pictures are compared by the hosts that can read them.
#pragma once
#include <cstddef>

#include "scenario/scenario_parse.h"


// Room for a report: the expected text, the value got and the words around.
constexpr size_t EXPECT_REPORT_CAPACITY = 2 * escaped_capacity(QUOTED_MAX) + 128;

// Checks an expect_value, expect_range, expect_serial or expect_text command
// against the state now (expect_text: the LCD's text log). On failure report
// holds "expected NAME=VALUE, got OTHER" (for a text: where it was drawn
// instead, or the strings the LCD shows).
bool check_expectation(const scenario_command& command, char* report, size_t cap);

// Passed and failed expectations of one run.
struct expect_tally {
    long passed = 0;
    long failed = 0;
    bool any() const { return passed + failed > 0; }
};
