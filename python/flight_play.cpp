#include "python/flight_play.h"

#include <cerrno>
#include <filesystem>
#include <memory>

#include "flight/flight_file.h"
#include "host/time_base.h"
#include "python/language_values.h"

namespace py = pybind11;

py::dict flight_description(const flight& f)
{
    py::dict about;
    about["pilot"] = f.pilot;
    about["glider"] = f.glider;
    about["date"] = f.year != 0 ? py::object(py::make_tuple(f.year, f.month, f.day)) : py::object(py::none());
    about["start"] = flight_time_of_day(f.start_time());
    about["duration_s"] = f.duration();
    about["fixes"] = f.fixes.size();
    about["altitude_from"] = altitude_source_name(f.altitude_from);
    about["airspeed_from"] = airspeed_source_name(f.airspeed_from);
    about["skipped"] = f.skipped.size();
    return about;
}

std::unique_ptr<flight> flight_or_refused(const std::string& path)
{
    std::error_code error_code;
    if (!std::filesystem::exists(path, error_code)) {
        errno = ENOENT;
        PyErr_SetFromErrnoWithFilename(PyExc_FileNotFoundError, path.c_str());
        throw py::error_already_set();
    }
    auto recorded = std::make_unique<flight>();
    std::string error, warning;
    if (!read_flight_file(path.c_str(), *recorded, error, warning))
        throw py::value_error("flight: " + error);
    if (!warning.empty() && PyErr_WarnEx(PyExc_UserWarning, ("flight: warning: " + warning).c_str(), 1) != 0)
        throw py::error_already_set();
    return recorded;
}

py::dict load_flight_file(session_flight& played, const std::string& path)
{
    played.open(flight_or_refused(path));
    return flight_description(played.recorded());
}

long long fly_ticks(const py::handle& seconds, long long ticks_at_end)
{
    if (py::isinstance<py::str>(seconds)) {
        const std::string word = seconds.cast<std::string>();
        if (word == "end")
            return ticks_at_end;
        parsed_or_refused("fly " + word);
        throw py::type_error("fly takes the seconds as an int, or \"end\"");
    }
    return number_or_refused("fly", seconds, 0, SCENARIO_COUNT_MAX / TICKS_PER_SECOND) * TICKS_PER_SECOND;
}
