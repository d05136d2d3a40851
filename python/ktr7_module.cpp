// The Python module ktr7: the instrument for test suites and notebooks. Every
// class, method and property carries the text help() shows.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/picture_scale.h"
#include "host/version.h"
#include "python/instrument.h"
#include "python/lcd_pictures.h"
#include "python/lcd_texts.h"
#include "python/live_window.h"
#include "python/scenario_run.h"
#include "python/state_mapping.h"
#include "scenario/fields.h"
#include "scenario/scenario_parse.h"
#include "session/scenario_executor.h"

namespace py = pybind11;

namespace {

// Notebooks show the LCD at this scale.
constexpr int NOTEBOOK_SCALE = 2;

const char MODULE_DOC[] = R"(The KTR-7 instrument in Python.

The same instrument code as the simulator window and ktr7-replay, driven from
Python: switch it on, set its sensor inputs, press its keys, let time pass,
and read its state record, LCD, lamp and encoder sentences.

    import ktr7
    with ktr7.Instrument() as inst:
        inst.on()
        inst.asi_adc = 1000
        inst.wait(20)               # two seconds: 20 x (100 ms tick, pass)
        inst.state["airspeed"]      # 144 (mph), the filter settled
        inst.current_screen         # 'screen_main'
        inst.lcd                    # 128 x 160 uint8 palette indices

Several Instruments may live at once, each with its own settings, inputs,
screen and LCD. Refusals are Python exceptions carrying the scenario
language's messages: ValueError for a value out of range or a word the
language does not know, TypeError for a value of the wrong type, KeyError for
an unknown field name, RuntimeError for a pass or wait while the instrument
is off.

ktr7.connect(SOCKET) drives a live window started with
"ktr7-sim --control SOCKET" instead: the ktr7.LiveWindow it returns has the
calls of Instrument that apply to a live window, with the same names and
refusals, so one test suite runs headless or against the window.)";

const char INSTRUMENT_DOC[] = R"(The instrument, from program start.

Instrument() starts as the simulator does: every field of the state record
zero, the LCD black, the instrument off, the altitude sensor check box
checked and the main display as the current screen. on() switches it on with
its factory settings; then pass_() runs passes of the run loop (lamp, check
box, encoder sentence, airspeed, flight timer, screen, keys), tick() advances
the 100 ms timer, and wait(n) does both n times, as a scenario's "wait" does.

Each Instrument is an instrument of its own: several may live in one
process, and what one is told (on, keys, inputs, passes, scenarios) leaves
the others as they were. close() (or the end of a "with" block) ends one:
every later call on it raises RuntimeError.

Inputs take the scenario language's ranges and refusals: altitude 0..65535,
vertical_speed -6000..6000 (ft/min), asi_adc 0..4096. A value outside raises
ValueError with the message a scenario line would give, e.g.
"asi: value 4097 outside 0..4096".)";

py::tuple key_words()
{
    py::list words;
    for (uint8_t code = 1; scenario_key_word(code) != nullptr; code++)
        words.append(scenario_key_word(code));
    return py::tuple(words);
}

py::tuple all_screen_names()
{
    py::list names;
    for (const screen_name_entry& screen : screen_names())
        names.append(screen.name);
    return py::tuple(names);
}

py::dict input_ranges()
{
    static const char* const FIELDS[] = {"altitude", "vertical_speed", "asi_adc"};
    py::dict ranges;
    for (const sensor_input_info& info : sensor_inputs())
        ranges[FIELDS[static_cast<uint8_t>(info.input)]] = py::make_tuple(info.minimum, info.maximum);
    return ranges;
}

instrument& open_instrument(instrument& inst)
{
    inst.check_open();
    return inst;
}

// The Python object of an instrument, to be the base of an array viewing it.
py::object python_object(instrument& inst)
{
    return py::cast(&inst, py::return_value_policy::reference);
}

// A path, or a one-line string that names a file or ends in ".scn".
bool names_a_file(const py::handle& source)
{
    py::module_ os = py::module_::import("os");
    if (py::isinstance(source, os.attr("PathLike")))
        return true;
    if (py::isinstance<py::bytes>(source))
        throw py::type_error("run_scenario takes the scenario's text or its path, not bytes");
    const std::string text = source.cast<std::string>();
    if (text.find('\n') != text.npos)
        return false;
    return py::cast<bool>(os.attr("path").attr("isfile")(text)) ||
           (text.size() > 4 && text.compare(text.size() - 4, 4, ".scn") == 0);
}

scenario_report run_scenario(instrument& inst, const py::object& source)
{
    inst.check_open();
    if (!names_a_file(source))
        return run_scenario_text(inst, source.cast<std::string>(), "");
    const std::filesystem::path path = source.cast<std::filesystem::path>();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
        throw py::error_already_set();
    }
    std::ostringstream text;
    text << file.rdbuf();
    return run_scenario_text(inst, text.str(), path.parent_path().string());
}

std::string instrument_repr(instrument& inst)
{
    if (inst.closed())
        return "<ktr7.Instrument closed>";
    const state_mapping state(inst);
    std::ostringstream text;
    text << "<ktr7.Instrument " << (inst.running() ? "on" : "off") << ", " << state.printed("current_screen");
    for (const char* input : {"altitude", "vertical_speed", "asi_adc", "lamp"})
        text << ", " << input << " " << state.printed(input);
    text << ">";
    return text.str();
}

void define_scenario_result(py::module_& m)
{
    py::class_<scenario_report>(m, "ScenarioResult", R"(What run_scenario gives back.

status is ktr7-replay's exit status: 0 every line ran and every expectation
held, 1 an expectation failed, 2 a line was refused (the run stopped there:
stopped_at is its number, 0 when no line stopped the run). passed and failed
count the expectations that ran (the closing "N passed, M failed" line shows
them when the run was not stopped). output holds the lines the tool writes on
standard output (print lines, "serial ..." lines of the encoder sentences,
"updated ...", the tally), messages the lines on standard error
("ktr7-replay: line N: ..."). A result is true when status is 0.)")
        .def_readonly("status", &scenario_report::status, "0 all held, 1 an expectation failed, 2 a refused line.")
        .def_readonly("passed", &scenario_report::passed, "Expectations that held.")
        .def_readonly("failed", &scenario_report::failed, "Expectations that did not hold.")
        .def_readonly("stopped_at", &scenario_report::stopped_at,
                      "The number of the refused line that stopped the run (1-based); 0 when none did.")
        .def_readonly("output", &scenario_report::output, "Standard output's lines, as a list of str.")
        .def_readonly("messages", &scenario_report::messages, "Standard error's lines, as a list of str.")
        .def_property_readonly(
            "tally", [](const scenario_report& r) { return py::make_tuple(r.passed, r.failed); },
            "(passed, failed).")
        .def_property_readonly(
            "ok", [](const scenario_report& r) { return r.status == SCENARIO_OK; }, "True when status is 0.")
        .def("__bool__", [](const scenario_report& r) { return r.status == SCENARIO_OK; })
        .def("__repr__", [](const scenario_report& r) {
            std::ostringstream text;
            text << "<ktr7.ScenarioResult status " << r.status << ", " << r.passed << " passed, " << r.failed
                 << " failed, stopped at " << r.stopped_at << ", " << r.messages.size() << " messages>";
            return text.str();
        });
}

void define_state(py::module_& m)
{
    py::class_<state_mapping> state(m, "State", R"(The instrument's state record, every field by name.

A mapping view of the live record (read it again after a pass to see the
pass's effect): state["qnh"], "airspeed" in state, len(state), iteration and
keys(), values(), items() in the order of the record. Integers are int,
arrays (speed_limits, code_digits) tuples of int, the sensor values of type
float are float, serial_line is str, current_screen and return_screen are
screen names ("screen_main", "none" for no screen), lamp is "red" or
"maroon". printed(name) gives the text a scenario's print shows and its
expect compares.

Like a scenario, Python writes only the sensor inputs: state["altitude"],
state["vertical_speed"] and state["asi_adc"] (the same as the Instrument's
properties, with the same ranges). Writing another field raises TypeError,
an unknown name KeyError.)");
    state.def("__getitem__", &state_mapping::get, py::arg("name"), "The field's value.")
        .def("__setitem__", &state_mapping::set, py::arg("name"), py::arg("value"),
             "Sets a sensor input (altitude, vertical_speed, asi_adc).")
        .def(
            "__contains__",
            [](const state_mapping& s, const py::object& name) {
                return py::isinstance<py::str>(name) && s.contains(name.cast<std::string>());
            },
            py::arg("name"))
        .def("__len__", [](const state_mapping&) { return field_table().size(); })
        .def("__iter__", [](const state_mapping&) { return py::iter(state_mapping::names()); })
        .def(
            "keys", [](const state_mapping&) { return state_mapping::names(); },
            "Every field's name, in the order of the record (then lamp).")
        .def(
            "values",
            [](const state_mapping& s) {
                py::list values;
                for (const field_entry& field : field_table())
                    values.append(s.get(field.name));
                return values;
            },
            "Every field's value, in the order of keys().")
        .def(
            "items",
            [](const state_mapping& s) {
                py::list items;
                for (const field_entry& field : field_table())
                    items.append(py::make_tuple(field.name, s.get(field.name)));
                return items;
            },
            "(name, value) for every field.")
        .def(
            "get",
            [](const state_mapping& s, const std::string& name, const py::object& otherwise) {
                return s.contains(name) ? s.get(name) : otherwise;
            },
            py::arg("name"), py::arg("default") = py::none(), "The field's value, or default for an unknown name.")
        .def("printed", &state_mapping::printed, py::arg("name"),
             "The field's value as a scenario's print shows it (without NAME=) and its expect compares it.")
        .def(
            "to_dict",
            [](const state_mapping& s) {
                py::dict all;
                for (const field_entry& field : field_table())
                    all[field.name] = s.get(field.name);
                return all;
            },
            "A copy of every field, as a dict.")
        .def_property_readonly_static(
            "writable", [](const py::object&) { return state_mapping::writable(); },
            "The names Python may write: the sensor inputs.")
        .def("__repr__", [](const state_mapping& s) {
            std::string text = "<ktr7.State";
            for (const char* name : {"current_screen", "altitude", "vertical_speed", "asi_adc", "airspeed"})
                text += std::string(" ") + name + "=" + s.printed(name);
            return text + " ...>";
        });
    // A read-only mapping as Python's own checks know one.
    py::module_::import("collections.abc").attr("Mapping").attr("register")(state);
}

void define_inputs(py::class_<instrument>& c)
{
    c.def_property(
         "altitude", [](instrument& i) { return i.input(sensor_input::altitude); },
         [](instrument& i, const py::object& v) { i.set_input(sensor_input::altitude, v); },
         "The altitude slider, 0..65535 (the altitude shown, in the altitude unit); a scenario's \"altitude N\".")
        .def_property(
            "vertical_speed", [](instrument& i) { return i.input(sensor_input::vertical_speed); },
            [](instrument& i, const py::object& v) { i.set_input(sensor_input::vertical_speed, v); },
            "The VSI slider, -6000..6000 ft/min; a scenario's \"vsi N\".")
        .def_property(
            "asi_adc", [](instrument& i) { return i.input(sensor_input::asi_adc); },
            [](instrument& i, const py::object& v) { i.set_input(sensor_input::asi_adc, v); },
            "The airspeed converter's reading, 0..4096; a scenario's \"asi N\". The airspeed in mph is the square "
            "root of 21 x (reading - zero offset), scaled by the calibration, 0 under 16, at most 250.")
        .def_property("sensor_ok", &instrument::sensor_ok, &instrument::set_sensor_ok,
                      "The \"Altitude Sensor\" check box (True: the sensor works); the next pass copies it into "
                      "alt_sensor_ok. A scenario's \"sensor ok|fault\".");
}

void define_time(py::class_<instrument>& c)
{
    c.def(
         "tick", [](instrument& i, const py::object& n) { i.tick(n); }, py::arg("n") = 1,
         "n ticks of the 100 ms timer (blink divider and tick counter), 0..1000000000; runs while on or off.")
        .def(
            "pass_", [](instrument& i, const py::object& n) { i.pass(n); }, py::arg("n") = 1,
            "n passes of the run loop (lamp, check box, sentence, airspeed, flight timer, clear, screen, keys); "
            "only while on (RuntimeError otherwise). A scenario's \"pass N\".")
        .def(
            "step", [](instrument& i, const py::object& n) { i.pass(n); }, py::arg("n") = 1,
            "The same as pass_(n).")
        .def(
            "wait", [](instrument& i, const py::object& n) { i.wait(n); }, py::arg("n"),
            "n times one tick then one pass, as a scenario's \"wait N\" (n = 10 is a second of the instrument's "
            "time); only while on.");
}

void define_outputs(py::class_<instrument>& c)
{
    c.def_property_readonly(
         "current_screen",
         [](instrument& self) { return state_mapping(open_instrument(self)).get("current_screen"); },
         "The current screen's name, e.g. \"screen_main\", \"screen_main_menu\" (ktr7.SCREENS lists them).")
        .def_property_readonly(
            "lamp", [](instrument& self) { return open_instrument(self).session().lamp_red() ? "red" : "maroon"; },
            "The alarm lamp as the last pass set it: \"red\" (alarm) or \"maroon\".")
        .def_property_readonly(
            "serial", [](instrument& self) { return open_instrument(self).serial().sentences(); },
            "The encoder sentences the passes sent since on(), oldest first, each as the instrument built it "
            "(its terminator included); the newest ktr7.SERIAL_KEPT of them. (A scenario's sentences are in its "
            "run_scenario output as \"serial ...\" lines.)")
        .def_property_readonly(
            "serial_count", [](instrument& self) { return open_instrument(self).serial().count(); },
            "How many sentences the passes sent since on(), also those serial no longer keeps.")
        .def_property_readonly(
            "state", [](instrument& self) { return state_mapping(open_instrument(self)); },
            py::keep_alive<0, 1>(), "The state record, every field by name: see ktr7.State.")
        .def_property_readonly(
            "lcd",
            [](instrument& self) { return lcd_view(open_instrument(self).stored_frame(), python_object(self)); },
            "The LCD as a read-only 128 x 160 numpy.uint8 array of palette indices (rows top to bottom), a view of "
            "this instrument's frame, not a copy: it shows what later passes draw. The array keeps this Instrument "
            "alive (its base). Palette indices: 0 black, 15 white, 9 red, 11 yellow, 10 green, 229 grey.")
        .def(
            "rgb", [](instrument& self) { return lcd_rgb(open_instrument(self).session().frame()); },
            "The LCD in colour: a new 128 x 160 x 3 numpy.uint8 array (red, green, blue) through the palette.")
        .def(
            "png",
            [](instrument& self, const std::filesystem::path& path, const py::object& scale) {
                lcd_png(open_instrument(self).session().frame(), path.string(), scale);
            },
            py::arg("path"), py::arg("scale") = 1,
            "Writes the LCD as an indexed PNG, each pixel scale x scale (1..8), as a scenario's png does.")
        .def(
            "expect_png",
            [](instrument& self, const std::filesystem::path& path) {
                lcd_expect_png(open_instrument(self).session().frame(), path.string());
            },
            py::arg("path"),
            "Compares the LCD with a reference PNG (any whole scale of 160 x 128) pixel for pixel, as a "
            "scenario's expect png does. Returns None when they are equal; raises AssertionError with the "
            "report (how many pixels differ, the first one) and leaves STEM.actual.png and STEM.diff.png beside "
            "the reference when they differ; OSError when the reference cannot be read.")
        .def(
            "differing_pixels",
            [](instrument& self, const std::filesystem::path& path) {
                return lcd_differing_pixels(open_instrument(self).session().frame(), path.string());
            },
            py::arg("path"), "How many LCD pixels differ from the reference PNG (0 when equal); writes nothing.")
        .def(
            "_repr_png_",
            [](instrument& self) { return lcd_png_bytes(open_instrument(self).session().frame(), NOTEBOOK_SCALE); },
            "The LCD as PNG bytes (scale 2), so a notebook cell ending with the instrument shows its screen.");
}

const char TEXT_DOC[] = R"(One string on the LCD, as the instrument drew it.

text (str, the instrument's bytes read as Windows-1252), x and y (the
reference column and the top row of the glyph cells, as passed), start_x and
end_x (the columns where the string starts and one past the gap after its
last glyph), size (the font's size code), align ("left", "right", "centre":
how the string sits on x), colour (the palette index of its ink) and role
(what that colour means on the screens: "text", "highlight" for titles and
the selection, "caption", "caution", "indicator", "background", or
"colour N").)";

void define_texts(py::module_& m, py::class_<instrument>& c)
{
    std::vector<std::string> fields;
    for (const char* const* f = TEXT_FIELDS; *f != nullptr; f++)
        fields.emplace_back(*f);
    py::object text_type = py::module_::import("collections").attr("namedtuple")("Text", fields);
    text_type.attr("__module__") = "ktr7";
    text_type.attr("__doc__") = TEXT_DOC;
    m.attr("Text") = text_type;

    py::class_<lcd_gif_recording>(m, "GifRecording", R"(An animated GIF of an Instrument's LCD being recorded.

Made by Instrument.gif(path, scale): from then on every tick of the
instrument's 100 ms timer adds the LCD as the tick finds it, a frame equal to
the one before only lengthening that one's delay (100 ms a tick); close(), or
the end of its with block, adds the LCD as it is then and writes the file. The
LCD's palette is the GIF's colour table, so each frame is the LCD exactly.)")
        .def("close", &lcd_gif_recording::close,
             "Writes the file (OSError when it cannot); later calls do nothing.")
        .def_property_readonly("closed", &lcd_gif_recording::closed, "True once the file is written.")
        .def_property_readonly("frames", &lcd_gif_recording::frames, "The animation's frames so far.")
        .def_property_readonly("path", &lcd_gif_recording::path, "The file being written.")
        .def(
            "__enter__", [](const py::object& self) { return self; }, "The recording; the with block's end closes it.")
        .def(
            "__exit__", [](lcd_gif_recording& r, const py::args&) { r.close(); }, "close().");

    c.def_property_readonly(
         "texts",
         [](instrument& self) { return lcd_texts(self, py::module_::import("ktr7").attr("Text")); },
         "The strings on the LCD, top to bottom and left to right, as a list of ktr7.Text named tuples (text, "
         "x, y, start_x, end_x, size, align, colour, role): what the last pass drew (empty strings left out). A "
         "scenario's print text shows the same.")
        .def_property_readonly(
            "text", &lcd_text,
            "The strings on the LCD in that order, each without the blanks around it, joined with one blank: "
            "\"ALT SETUP\" in inst.text on the main menu's first entry, whose caption is \"ALT\" over "
            "\"SETUP\". A scenario's expect text reads the same.")
        .def(
            "gif",
            [](instrument& self, const std::filesystem::path& path, const py::object& scale) {
                return std::make_unique<lcd_gif_recording>(self, path.string(), scale);
            },
            py::arg("path"), py::arg("scale") = 1, py::keep_alive<0, 1>(),
            "Starts recording the LCD as an animated GIF at path, each pixel scale x scale (1..8), and returns "
            "the ktr7.GifRecording: with inst.gif(\"run.gif\", scale=3): ... writes it at the block's end. "
            "As a scenario's gif FILE SCALE: ValueError for a scale outside 1..8, OSError when the file cannot "
            "be written.");
}

void define_flights(py::class_<instrument>& c)
{
    c.def(
         "load_flight",
         [](instrument& i, const std::filesystem::path& path) { return i.load_flight(path.string()); },
         py::arg("path"),
         "Loads a recorded flight, as a scenario's \"flight FILE\": IGC or GPX known by their content, other "
         "formats (KML, NMEA, FIT, TCX, ...) through gpsbabel where it is installed. Returns what the log says "
         "of itself (pilot, glider, date, start, duration_s, fixes, altitude_from, airspeed_from, skipped). "
         "FileNotFoundError for a missing file, ValueError with the reader's reason for one that is no flight "
         "log, a UserWarning naming the records it skipped. While on, the inputs take the flight's values at "
         "its first fix. Play it with fly().")
        .def(
            "fly", [](instrument& i, const py::object& seconds) { i.fly(seconds); },
            py::arg("seconds"),
            "Plays seconds of the loaded flight (or \"end\": to its last fix), as a scenario's \"fly\": ten "
            "ticks a second of flight time, each with the flight's altitude, vertical speed and airspeed written "
            "to the inputs, a timer tick and a pass; so the flight timer, blinking and take-off detection run in "
            "flight time. Only while on; RuntimeError when no flight is loaded.")
        .def_property_readonly(
            "flight_time", [](instrument& i) { return open_instrument(i).session().flight().time(); },
            "The loaded flight's time of the next tick, seconds since midnight UTC of its date (0 with none).")
        .def_property_readonly(
            "flight_at_end",
            [](instrument& i) {
                const session_flight& played = open_instrument(i).session().flight();
                return played.is_open() && played.at_end();
            },
            "True once fly() has played the loaded flight's last fix.");
}

}  // namespace

PYBIND11_MODULE(ktr7, m)
{
    m.doc() = MODULE_DOC;
    m.attr("__version__") = KTR7_VERSION;
    m.attr("LCD_WIDTH") = LCD_WIDTH;
    m.attr("LCD_HEIGHT") = LCD_HEIGHT;
    m.attr("SERIAL_KEPT") = SERIAL_KEPT;
    m.attr("PNG_SCALE_MAX") = PNG_SCALE_MAX;
    m.attr("GIF_SCALE_MAX") = GIF_SCALE_MAX;
    m.attr("KEYS") = key_words();
    m.attr("SCREENS") = all_screen_names();
    m.attr("INPUT_RANGES") = input_ranges();

    define_scenario_result(m);
    define_state(m);

    py::class_<instrument> c(m, "Instrument", INSTRUMENT_DOC);
    c.def(py::init<>(), "Program start, for an instrument of its own.")
        .def("close", &instrument::close, "Ends this instrument; every later call on it raises RuntimeError.")
        .def_property_readonly("closed", &instrument::closed, "True after close().")
        .def(
            "__enter__", [](const py::object& self) { return self; }, "The instrument; the with block's end closes it.")
        .def(
            "__exit__", [](instrument& i, const py::args&) { i.close(); }, "close().")
        .def("on", &instrument::on,
             "Switches on: factory settings and calibration, the main display, no alarm, key or flight; forgets "
             "the sentences of serial. A scenario's \"on\".")
        .def("off", &instrument::off, "Switches off; passes are refused until on(). A scenario's \"off\".")
        .def_property_readonly("is_on", &instrument::running, "True between on() and off().")
        .def("key", &instrument::key, py::arg("name"),
             "Posts a key: \"left\", \"right\", \"push\", \"cw\" or \"ccw\" (ktr7.KEYS). It is stored only "
             "while no key is pending (a second one before a pass is lost); the next pass's screen handles it "
             "and the pass after draws its effect. ValueError for other words.")
        .def(
            "run_scenario", &run_scenario, py::arg("source"),
            "Runs a scenario as ktr7-replay runs it, from program start on this instrument (others are left as "
            "they are), and returns a ScenarioResult (status, passed, failed, stopped_at, output, messages). "
            "source is the scenario's text, or its path (a pathlib.Path, or a one-line str naming an existing "
            "file or ending in \".scn\"); a path's relative expect png and flight references are taken from its "
            "folder, a text's from the working directory. The instrument is left "
            "as the scenario left it (on or off, every field, the LCD); serial starts empty.")
        .def("__repr__", &instrument_repr);
    define_inputs(c);
    define_time(c);
    define_outputs(c);
    define_texts(m, c);
    define_flights(c);
    define_live_window(m);
}
