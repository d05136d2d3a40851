// Values from Python read as the scenario language reads them: refused with
// its parser's own messages, so Python and a scenario refuse alike.
#pragma once
#include <pybind11/pybind11.h>

#include <string>

#include "scenario/scenario_parse.h"

// The scenario line parsed; ValueError with the language's message when it
// is refused.
scenario_command parsed_or_refused(const std::string& line);

// An integer argument: TypeError for anything but an int (bool included);
// out of long long's range it comes back as its decimal text in word with
// false, for the parser's message.
bool integer_of(const pybind11::handle& value, long long& number, std::string& word);

// The number in a command's line ("COMMAND NUMBER") when it lies in
// low..high, else what the parser makes of that line: its number, or
// ValueError with its message.
long long number_or_refused(const char* command, const pybind11::handle& value, long long low, long long high);
