// ktr7.connect and the classes of a live window in the module ktr7, each
// with the text help() shows.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "python/lcd_pictures.h"
#include "python/live_window.h"
#include "python/state_mapping.h"

namespace py = pybind11;

namespace {

// Notebooks show the LCD at this scale.
constexpr int NOTEBOOK_SCALE = 2;
constexpr double DEFAULT_TIMEOUT = 10.0;

const char LIVE_WINDOW_DOC[] = R"(A live simulator window, driven through its control socket.

Made by ktr7.connect(SOCKET) for a window started with
"ktr7-sim --control SOCKET". It has the calls of Instrument that apply to a
live window, with the same names, arguments and refusals, so one test suite
runs headless or against the window:

    import ktr7
    with ktr7.connect("ktr7.sock") as window:   # under $XDG_RUNTIME_DIR
        window.on()
        window.asi_adc = 1000
        window.wait(20)                 # two seconds of the window's clock
        window.state["airspeed"]        # 144
        window.key("push")
        window.pass_(2)
        window.current_screen           # 'screen_main_menu'

Each call sends scenario lines, checked first by the language's parser (a
value out of range raises the same ValueError as Instrument's), and reads
their answer; the window runs them at its own real-time clock, from where it
is (the user may click it meanwhile). An error answer raises RuntimeError
with the window's message, a failed expectation AssertionError, a file the
window cannot write or read OSError; a lost or closed connection raises
ConnectionError, no answer in time TimeoutError (the connection is closed:
its answer would come out of step), and so does Ctrl-C while waiting.

What the window's lines do not print, the live window cannot give: texts'
x, end_x and align are None, LiveGifRecording.frames is None, LiveState's floats
are print's six digits, sensor_ok reads alt_sensor_ok (the check box as the
last pass copied it). File names are sent as absolute paths, so they may
hold no blank and no "#".)";

// Instrument.state's mapping over a live window: every read a print line.
class live_state {
public:
    explicit live_state(live_window& window) : window_(window) {}
    live_window& window() const { return window_; }

private:
    live_window& window_;
};

// Instrument.gif's recording in a live window: "gif FILE SCALE" until "gif end".
class live_gif_recording {
public:
    live_gif_recording(live_window& window, std::string path) : window_(window), path_(std::move(path)) {}
    void close()
    {
        if (closed_)
            return;
        closed_ = true;
        // A window that lost its client writes the animation itself.
        if (!window_.closed())
            window_.gif_end();
    }
    bool closed() const { return closed_; }
    const std::string& path() const { return path_; }

private:
    live_window& window_;
    std::string path_;
    bool closed_ = false;
};

py::array frame_array(const lcd_snapshot& frame)
{
    py::array_t<uint8_t> lcd({py::ssize_t(LCD_HEIGHT), py::ssize_t(LCD_WIDTH)});
    std::memcpy(lcd.mutable_data(), frame.data(), frame.size());
    return lcd;
}

void define_live_state(py::module_& m)
{
    py::class_<live_state> state(m, "LiveState", R"(A live window's state record, every field by name.

The same mapping as ktr7.State, each read a "print" line to the window (so
a value is the window's as it is then): state["qnh"], "airspeed" in state,
len(state), keys(), values(), items() and to_dict() (those three in one
print line), get(name, default), printed(name). Writing state["altitude"],
["vertical_speed"] or ["asi_adc"] sets the input; another field raises
TypeError, an unknown name KeyError. Floats come with print's six digits.)");
    state
        .def(
            "__getitem__", [](const live_state& s, const std::string& name) { return s.window().value(name); },
            py::arg("name"), "The field's value.")
        .def(
            "__setitem__",
            [](const live_state& s, const std::string& name, const py::object& value) {
                s.window().set_input(writable_input(name), value);
            },
            py::arg("name"), py::arg("value"), "Sets a sensor input (altitude, vertical_speed, asi_adc).")
        .def(
            "__contains__",
            [](const live_state&, const py::object& name) {
                return py::isinstance<py::str>(name) && find_field(name.cast<std::string>()) != nullptr;
            },
            py::arg("name"))
        .def("__len__", [](const live_state&) { return field_table().size(); })
        .def("__iter__", [](const live_state&) { return py::iter(state_mapping::names()); })
        .def(
            "keys", [](const live_state&) { return state_mapping::names(); },
            "Every field's name, in the order of the record (then lamp).")
        .def(
            "items", [](const live_state& s) { return s.window().items(); }, "(name, value) for every field.")
        .def(
            "values",
            [](const live_state& s) {
                py::list values;
                for (const py::handle& item : s.window().items())
                    values.append(item[py::int_(1)]);
                return values;
            },
            "Every field's value, in the order of keys().")
        .def(
            "to_dict", [](const live_state& s) { return py::dict(s.window().items()); },
            "A copy of every field, as a dict.")
        .def(
            "get",
            [](const live_state& s, const std::string& name, const py::object& otherwise) {
                return find_field(name) != nullptr ? s.window().value(name) : otherwise;
            },
            py::arg("name"), py::arg("default") = py::none(), "The field's value, or default for an unknown name.")
        .def(
            "printed", [](const live_state& s, const std::string& name) { return s.window().printed(name); },
            py::arg("name"), "The field's value as print shows it (without NAME=).");
    py::module_::import("collections.abc").attr("Mapping").attr("register")(state);

    py::class_<live_gif_recording>(m, "LiveGifRecording", R"(An animated GIF being recorded by a live window.

Made by LiveWindow.gif(path, scale): the window's "gif FILE SCALE", whose
ticks add the frames; close(), or the end of its with block, sends
"gif end", which writes the file (OSError when the window cannot). frames
is None: the window does not say.)")
        .def("close", &live_gif_recording::close, "Ends the recording; later calls do nothing.")
        .def_property_readonly("closed", &live_gif_recording::closed, "True once ended.")
        .def_property_readonly(
            "frames", [](const live_gif_recording&) { return py::none(); }, "None: the window does not say.")
        .def_property_readonly("path", &live_gif_recording::path, "The file being written (absolute).")
        .def(
            "__enter__", [](const py::object& self) { return self; }, "The recording; the with block's end closes it.")
        .def(
            "__exit__", [](live_gif_recording& r, const py::args&) { r.close(); }, "close().");
}

void define_live_inputs(py::class_<live_window>& c)
{
    static std::string helps[3];
    for (const sensor_input which : {sensor_input::altitude, sensor_input::vertical_speed, sensor_input::asi_adc}) {
        const sensor_input_info& info = sensor_input_of(which);
        std::string& help = helps[static_cast<uint8_t>(which)];
        help = "The " + std::string(input_field(which)) + " input, " +
                                 std::to_string(info.minimum) + ".." + std::to_string(info.maximum) +
                                 "; set: the window's \"" + info.word + " N\", read: print " + input_field(which) +
                                 ".";
        c.def_property(
            input_field(which), [which](live_window& w) { return w.input(which); },
            [which](live_window& w, const py::object& v) { w.set_input(which, v); }, help.c_str());
    }
    c.def_property("sensor_ok", &live_window::sensor_ok, &live_window::set_sensor_ok,
                   "The \"Altitude Sensor\" check box: set: \"sensor ok|fault\"; read: alt_sensor_ok, where the "
                   "last pass copied the check box.");
}

void define_live_time(py::class_<live_window>& c)
{
    c.def(
         "tick", [](live_window& w, const py::object& n) { w.tick(n); }, py::arg("n") = 1,
         "\"tick N\": returns once n ticks of the window's 100 ms timer have passed.")
        .def(
            "pass_", [](live_window& w, const py::object& n) { w.pass(n); }, py::arg("n") = 1,
            "\"pass N\": returns once n passes of the window's run loop have run; only while on (RuntimeError "
            "otherwise).")
        .def(
            "step", [](live_window& w, const py::object& n) { w.pass(n); }, py::arg("n") = 1,
            "The same as pass_(n).")
        .def(
            "wait", [](live_window& w, const py::object& n) { w.wait(n); }, py::arg("n"),
            "\"wait N\": n ticks of the window's clock, then a pass (n = 10 takes a second); only while on.")
        .def(
            "load_flight",
            [](live_window& w, const std::filesystem::path& path) { return w.load_flight(path.string()); },
            py::arg("path"),
            "Loads a recorded flight in the window (\"flight FILE\"), read here too for the refusals and what the "
            "log says of itself (the dict Instrument.load_flight returns).")
        .def(
            "fly", [](live_window& w, const py::object& seconds) { w.fly(seconds); }, py::arg("seconds"),
            "\"fly N\" or \"fly end\": returns once the window has played that much of the loaded flight.");
}

void define_live_outputs(py::class_<live_window>& c)
{
    c.def_property_readonly(
         "current_screen", [](live_window& w) { return w.value("current_screen"); },
         "The current screen's name, through print current_screen.")
        .def_property_readonly(
            "lamp", [](live_window& w) { return w.value("lamp"); }, "The alarm lamp, \"red\" or \"maroon\".")
        .def_property_readonly(
            "state", [](live_window& w) { return live_state(w); }, py::keep_alive<0, 1>(),
            "The state record, every field by name: see ktr7.LiveState.")
        .def_property_readonly(
            "serial", [](const live_window& w) { return w.serial().sentences(); },
            "The encoder sentences the window's passes sent while this connection's lines ran, since on(), oldest "
            "first (the newest ktr7.SERIAL_KEPT).")
        .def_property_readonly(
            "serial_count", [](const live_window& w) { return w.serial().count(); },
            "How many of those sentences came since on(), also those serial no longer keeps.")
        .def_property_readonly(
            "texts", [](live_window& w) { return w.texts(py::module_::import("ktr7").attr("Text")); },
            "The strings on the LCD as ktr7.Text tuples, read from print text: x, end_x and align are None.")
        .def_property_readonly("text", &live_window::text, "The strings' words joined, as expect text reads them.")
        .def_property_readonly(
            "lcd", [](live_window& w) { return frame_array(w.frame()); },
            "The LCD now: a new 128 x 160 numpy.uint8 array of palette indices (a copy, through dump).")
        .def(
            "rgb", [](live_window& w) { return lcd_rgb(w.frame().data()); },
            "The LCD in colour: a new 128 x 160 x 3 numpy.uint8 array.")
        .def(
            "png",
            [](live_window& w, const std::filesystem::path& path, const py::object& scale) {
                w.png(path.string(), scale);
            },
            py::arg("path"), py::arg("scale") = 1, "The window's \"png FILE SCALE\" (1..8).")
        .def(
            "expect_png", [](live_window& w, const std::filesystem::path& path) { w.expect_png(path.string()); },
            py::arg("path"),
            "The window's \"expect png FILE\": AssertionError with its report when the LCD differs (its "
            "STEM.actual.png and STEM.diff.png beside the reference), OSError when the reference cannot be used.")
        .def(
            "differing_pixels",
            [](live_window& w, const std::filesystem::path& path) {
                return lcd_differing_pixels(w.frame().data(), path.string());
            },
            py::arg("path"), "How many LCD pixels differ from the reference PNG; writes nothing.")
        .def(
            "_repr_png_", [](live_window& w) { return lcd_png_bytes(w.frame().data(), NOTEBOOK_SCALE); },
            "The LCD as PNG bytes (scale 2), for notebooks.")
        .def(
            "gif",
            [](live_window& w, const std::filesystem::path& path, const py::object& scale) {
                w.gif(path.string(), scale);
                return std::make_unique<live_gif_recording>(w, std::filesystem::absolute(path).string());
            },
            py::arg("path"), py::arg("scale") = 1, py::keep_alive<0, 1>(),
            "The window's \"gif FILE SCALE\" (1..8), as a ktr7.LiveGifRecording: with window.gif(\"run.gif\", "
            "3): ... sends \"gif end\" at the block's end.");
}

}  // namespace

void define_live_window(py::module_& m)
{
    define_live_state(m);
    py::class_<live_window> c(m, "LiveWindow", LIVE_WINDOW_DOC);
    c.def("close", &live_window::close, "Closes the connection; later calls raise ConnectionError.")
        .def_property_readonly("closed", &live_window::closed, "True once closed or lost.")
        .def_property_readonly("path", &live_window::path, "The socket's path.")
        .def(
            "__enter__", [](const py::object& self) { return self; }, "The window; the with block's end closes it.")
        .def(
            "__exit__", [](live_window& w, const py::args&) { w.close(); }, "close().")
        .def("on", &live_window::on, "\"on\": factory settings, the main display; forgets serial's sentences.")
        .def("off", &live_window::off, "\"off\".")
        .def_property_readonly("is_on", &live_window::is_on, "True while the window's instrument is on.")
        .def("key", &live_window::key, py::arg("name"),
             "\"key NAME\": left, right, push, cw or ccw (ktr7.KEYS); ValueError for other words.")
        .def("run_line", &live_window::run_line, py::arg("line"),
             "Runs one scenario line in the window and returns the lines it printed (print's, print text's, "
             "print lcd's, \"updated FILE\"). ValueError for a line the language refuses, RuntimeError when the "
             "window refuses it, AssertionError for a failed expectation. Give files absolute paths.")
        .def("__repr__", [](const live_window& w) {
            return "<ktr7.LiveWindow " + w.path() + (w.closed() ? " closed>" : ">");
        });
    define_live_inputs(c);
    define_live_time(c);
    define_live_outputs(c);

    m.def(
        "connect",
        [](const std::filesystem::path& path, std::optional<double> timeout) {
            return std::make_unique<live_window>(path.string(), timeout ? *timeout : -1.0);
        },
        py::arg("path"), py::arg("timeout") = DEFAULT_TIMEOUT,
        R"(Connects to a live window started with "ktr7-sim --control PATH".

path is the socket (a bare name is taken under $XDG_RUNTIME_DIR, as the
window takes it). timeout (seconds, None for no limit) is how long
connecting waits while another client is connected, and how long an answer
may take beyond what its line takes in the window (a wait of 10 ticks takes
a second). Returns a ktr7.LiveWindow; FileNotFoundError or
ConnectionRefusedError when no window listens there, ConnectionError when
another client stays connected.)");
}
