#include "python/language_values.h"

namespace py = pybind11;

scenario_command parsed_or_refused(const std::string& line)
{
    scenario_command command;
    scenario_failure failure;
    if (!parse_scenario_line(line, command, failure))
        throw py::value_error(failure.text);
    return command;
}

bool integer_of(const py::handle& value, long long& number, std::string& word)
{
    if (!PyLong_Check(value.ptr()) || PyBool_Check(value.ptr()))
        throw py::type_error(std::string("an int is needed, not ") + Py_TYPE(value.ptr())->tp_name);
    int overflow = 0;
    number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0)
        return true;
    word = py::str(value);
    return false;
}

long long number_or_refused(const char* command, const py::handle& value, long long low, long long high)
{
    long long number = 0;
    std::string word;
    if (integer_of(value, number, word) && number >= low && number <= high)
        return number;
    return parsed_or_refused(std::string(command) + " " + (word.empty() ? std::to_string(number) : word)).number;
}
