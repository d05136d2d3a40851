#include "python/live_window.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/picture_scale.h"
#include "host/time_base.h"
#include "python/flight_play.h"
#include "python/language_values.h"
#include "python/state_mapping.h"
#include "scenario/fields.h"
#include "scenario/lcd_text.h"
#include "scenario/scenario_parse.h"

namespace py = pybind11;

namespace {

[[noreturn]] void raise(PyObject* type, const std::string& text)
{
    PyErr_SetString(type, text.c_str());
    throw py::error_already_set();
}

// A file name as the window takes it: absolute, since the window's working
// folder is not ours, and one word of a scenario line.
std::string file_word(const char* command, const std::string& path)
{
    const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    if (absolute.find_first_of(" \t\r\v\f#") != absolute.npos)
        throw py::value_error(std::string(command) + ": the window takes file names without blanks or \"#\": \"" +
                              absolute + "\"");
    return absolute;
}

// What a line takes in the window beyond its answer's way back: ticks of
// the window's real-time clock (and "pass N", which takes no longer).
double line_seconds(const scenario_command& c, double flight_seconds)
{
    switch (c.op) {
    case scenario_op::tick:
    case scenario_op::pass:
    case scenario_op::wait: return double(c.number) * TICK_SECONDS;
    case scenario_op::fly: return c.number == FLY_TO_END ? flight_seconds : double(c.number);
    default: return 0;
    }
}

bool is_expectation(scenario_op op)
{
    return op == scenario_op::expect_value || op == scenario_op::expect_range || op == scenario_op::expect_serial ||
           op == scenario_op::expect_text || op == scenario_op::expect_png;
}

// An error answer as Python's exception: OSError for a file that could not
// be written or read, AssertionError for a failed expectation.
[[noreturn]] void raise_answer(const std::string& message, scenario_op op)
{
    const bool file_trouble = message.find(": cannot write \"") != message.npos ||
                              (op == scenario_op::expect_png && message.rfind("expect png: ", 0) == 0);
    if (file_trouble)
        raise(PyExc_OSError, message);
    raise(is_expectation(op) ? PyExc_AssertionError : PyExc_RuntimeError, message);
}

// A value print showed, as Instrument.state gives it.
py::object value_printed(const field_entry& field, const std::string& text)
{
    switch (field.kind) {
    case field_kind::f32: return py::float_(std::strtod(text.c_str(), nullptr));
    case field_kind::text: {
        const std::string bytes = unescaped(text);
        return py::reinterpret_steal<py::str>(PyUnicode_DecodeLatin1(bytes.data(), py::ssize_t(bytes.size()), nullptr));
    }
    case field_kind::screen:
    case field_kind::lamp: return py::str(text);
    default: break;
    }
    if (field.count == 1)
        return py::int_(py::str(text));
    py::list elements;
    for (const py::handle& element : py::str(text).attr("split")(","))
        elements.append(py::int_(py::reinterpret_borrow<py::object>(element)));
    return py::tuple(elements);
}

// One line of print text: "TEXT" at START_X Y size SIZE ROLE.
struct printed_text {
    std::string text;
    int start_x = 0, y = 0, size = 0;
    std::string role;
};

bool text_printed(const std::string& line, printed_text& t)
{
    const size_t close = line.find('"', 1);
    if (line.empty() || line[0] != '"' || close == line.npos)
        return false;
    t.text = unescaped(std::string_view(line).substr(1, close - 1));
    int used = 0;
    if (std::sscanf(line.c_str() + close + 1, " at %d %d size %d %n", &t.start_x, &t.y, &t.size, &used) != 3)
        return false;
    t.role = line.substr(close + 1 + size_t(used));
    return true;
}

// The palette index a role names ("text" 15, "colour 7" 7); None for none.
py::object colour_of_role(const std::string& role)
{
    for (int colour = 0; colour <= UINT8_MAX; colour++)
        if (colour_role(uint8_t(colour)) == role)
            return py::int_(colour);
    return py::none();
}

std::vector<printed_text> texts_printed(const std::vector<std::string>& lines)
{
    std::vector<printed_text> texts;
    printed_text t;
    for (const std::string& line : lines)
        if (text_printed(line, t))
            texts.push_back(t);
    return texts;
}

}  // namespace

control_answer live_window::exchange(const std::string& line, double seconds)
{
    control_answer answer = connection_.exchange(line, seconds);
    for (const std::string& sentence : answer.serial)
        serial_.show_sentence(sentence.c_str());
    return answer;
}

std::vector<std::string> live_window::lines(const std::string& line, double seconds)
{
    control_answer answer = exchange(line, seconds);
    if (!answer.ok)
        raise_answer(answer.message, parsed_or_refused(line).op);
    return std::move(answer.printed);
}

std::vector<std::string> live_window::run_line(const std::string& line)
{
    const scenario_command command = parsed_or_refused(line);
    return lines(line, line_seconds(command, flight_seconds_));
}

void live_window::on()
{
    lines("on");
    serial_.forget();
}

void live_window::off()
{
    lines("off");
}

bool live_window::is_on()
{
    // Passes run only while on: none asked for, the answer says which.
    return exchange("pass 0").ok;
}

void live_window::key(std::string_view word)
{
    const scenario_command command = parsed_or_refused("key " + std::string(word));
    lines(std::string("key ") + scenario_key_word(uint8_t(command.number)));
}

int32_t live_window::input(sensor_input which)
{
    return value(input_field(which)).cast<int32_t>();
}

void live_window::set_input(sensor_input which, const py::handle& value)
{
    const sensor_input_info& info = sensor_input_of(which);
    const long long n = number_or_refused(info.word, value, info.minimum, info.maximum);
    lines(std::string(info.word) + " " + std::to_string(n));
}

bool live_window::sensor_ok()
{
    return value("alt_sensor_ok").cast<int>() != 0;
}

void live_window::set_sensor_ok(bool ok)
{
    lines(ok ? "sensor ok" : "sensor fault");
}

void live_window::count_line(const char* command, const py::handle& count)
{
    const long long n = number_or_refused(command, count, 0, SCENARIO_COUNT_MAX);
    lines(std::string(command) + " " + std::to_string(n), double(n) * TICK_SECONDS);
}

void live_window::tick(const py::handle& count)
{
    count_line("tick", count);
}

void live_window::pass(const py::handle& count)
{
    count_line("pass", count);
}

void live_window::wait(const py::handle& count)
{
    count_line("wait", count);
}

py::dict live_window::load_flight(const std::string& path)
{
    connection_.check_open();
    // Read here too: the same refusals as Instrument's, and what the log says
    // of itself, which the window does not print.
    const std::unique_ptr<flight> recorded = flight_or_refused(path);
    lines("flight " + file_word("flight", path));
    flight_seconds_ = recorded->duration();
    return flight_description(*recorded);
}

void live_window::fly(const py::handle& seconds)
{
    const long long ticks = fly_ticks(seconds, FLY_TO_END);
    if (ticks == FLY_TO_END)
        lines("fly end", flight_seconds_);
    else
        lines("fly " + std::to_string(ticks / TICKS_PER_SECOND), double(ticks) * TICK_SECONDS);
}

std::string live_window::printed(std::string_view name)
{
    const field_entry& field = field_named(name);
    const std::string start = std::string(field.name) + "=";
    for (const std::string& line : lines("print " + std::string(field.name)))
        if (line.compare(0, start.size(), start) == 0)
            return line.substr(start.size());
    raise(PyExc_ConnectionError, path() + ": the window's answer to print " + field.name + " has no value");
}

py::object live_window::value(std::string_view name)
{
    const field_entry& field = field_named(name);
    return value_printed(field, printed(field.name));
}

py::list live_window::items()
{
    std::string line = "print";
    for (const field_entry& field : field_table())
        line += std::string(" ") + field.name;
    py::list items;
    const std::vector<std::string> values = lines(line);
    size_t at = 0;
    for (const field_entry& field : field_table()) {
        const std::string start = std::string(field.name) + "=";
        if (at >= values.size() || values[at].compare(0, start.size(), start) != 0)
            raise(PyExc_ConnectionError, path() + ": the window's answer to print has no value of " + field.name);
        items.append(py::make_tuple(field.name, value_printed(field, values[at++].substr(start.size()))));
    }
    return items;
}

py::list live_window::texts(const py::handle& text_type)
{
    py::list texts;
    // x, end_x and align are not in print text's lines.
    for (const printed_text& t : texts_printed(lines("print text")))
        texts.append(text_type(py::bytes(t.text).attr("decode")("cp1252", "replace"), py::none(), t.y, t.start_x,
                               py::none(), t.size, py::none(), colour_of_role(t.role), t.role));
    return texts;
}

std::string live_window::text()
{
    std::string words;
    for (const printed_text& t : texts_printed(lines("print text"))) {
        const std::string_view word = trimmed_text(t.text);
        if (!word.empty())
            words += (words.empty() ? "" : " ") + std::string(word);
    }
    return words;
}

void live_window::png(const std::string& path, const py::handle& scale)
{
    const long long s = number_or_refused("png LCD.png", scale, PNG_SCALE_MIN, PNG_SCALE_MAX);
    lines("png " + file_word("png", path) + " " + std::to_string(s));
}

void live_window::expect_png(const std::string& path)
{
    lines("expect png " + file_word("expect png", path));
}

lcd_snapshot live_window::frame()
{
    connection_.check_open();
    std::string name = (std::filesystem::temp_directory_path() / "ktr7-lcd-XXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, name.c_str());
        throw py::error_already_set();
    }
    ::close(fd);
    lcd_snapshot frame{};
    try {
        lines("dump " + file_word("dump", name));
        std::ifstream file(name, std::ios::binary);
        file.read(reinterpret_cast<char*>(frame.data()), std::streamsize(frame.size()));
        if (file.gcount() != std::streamsize(frame.size()))
            raise(PyExc_OSError, "dump: \"" + name + "\" is shorter than the LCD");
    } catch (...) {
        std::filesystem::remove(name);
        throw;
    }
    std::filesystem::remove(name);
    return frame;
}

void live_window::gif(const std::string& path, const py::handle& scale)
{
    const long long s = number_or_refused("gif LCD.gif", scale, GIF_SCALE_MIN, GIF_SCALE_MAX);
    lines("gif " + file_word("gif", path) + " " + std::to_string(s));
}

void live_window::gif_end()
{
    lines("gif end");
}
