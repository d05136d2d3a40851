#include "python/state_mapping.h"

#include <cstring>
#include <string>

#include "python/instrument.h"
#include "scenario/fields.h"
#include "scenario/scenario_parse.h"

namespace py = pybind11;

namespace {

// The fields a scenario writes, each through its sensor input.
constexpr struct {
    const char* field;
    sensor_input input;
} WRITABLE[] = {
    {"altitude", sensor_input::altitude},
    {"vertical_speed", sensor_input::vertical_speed},
    {"asi_adc", sensor_input::asi_adc},
};

template <class T>
py::object element(const field_entry& field, uint8_t index)
{
    return py::int_(static_cast<const T*>(field.address)[index]);
}

py::object integer(const field_entry& field, uint8_t index)
{
    switch (field.kind) {
    case field_kind::u8: return element<uint8_t>(field, index);
    case field_kind::u16: return element<uint16_t>(field, index);
    case field_kind::u32: return element<uint32_t>(field, index);
    case field_kind::i16: return element<int16_t>(field, index);
    case field_kind::i32: return element<int32_t>(field, index);
    default: return py::none();
    }
}

// The field's value in the active instrument's record.
py::object value_of(const field_entry& field, bool lamp_red)
{
    switch (field.kind) {
    case field_kind::f32: return py::float_(*static_cast<const float*>(field.address));
    case field_kind::text: {
        const char* text = static_cast<const char*>(field.address);
        return py::reinterpret_steal<py::str>(
            PyUnicode_DecodeLatin1(text, py::ssize_t(strnlen(text, field.count)), nullptr));
    }
    case field_kind::screen: return py::str(screen_name(*static_cast<const screen_handler*>(field.address)));
    case field_kind::lamp: return py::str(lamp_red ? "red" : "maroon");
    default:
        if (field.count == 1)
            return integer(field, 0);
        py::tuple elements(field.count);
        for (uint8_t i = 0; i < field.count; i++)
            elements[i] = integer(field, i);
        return elements;
    }
}

}  // namespace

const field_entry& field_named(std::string_view name)
{
    if (const field_entry* field = find_field(name))
        return *field;
    scenario_command command;
    scenario_failure failure;
    const bool one_word = !name.empty() && name.find_first_of(" \t\r\v\f#") == name.npos;
    if (one_word && !parse_scenario_line("print " + std::string(name), command, failure))
        throw py::key_error(failure.text);
    throw py::key_error(std::string(name));
}

sensor_input writable_input(std::string_view name)
{
    const field_entry& field = field_named(name);
    for (const auto& w : WRITABLE)
        if (name == w.field)
            return w.input;
    throw py::type_error(std::string("state[\"") + field.name +
                         "\"] is read-only: like a scenario, Python writes only the sensor inputs altitude, "
                         "vertical_speed and asi_adc (sensor_ok is the check box; settings change through the keys)");
}

const char* input_field(sensor_input which)
{
    for (const auto& w : WRITABLE)
        if (w.input == which)
            return w.field;
    return "";
}

py::object state_mapping::get(std::string_view name) const
{
    owner_.check_open();
    instrument_session& session = owner_.session();
    session.activate();
    return value_of(field_named(name), session.lamp_red());
}

void state_mapping::set(std::string_view name, const py::object& value)
{
    owner_.set_input(writable_input(name), value);
}

bool state_mapping::contains(std::string_view name) const
{
    return find_field(name) != nullptr;
}

std::string state_mapping::printed(std::string_view name) const
{
    owner_.check_open();
    const field_entry& field = field_named(name);
    owner_.session().activate();
    static char value[FIELD_VALUE_CAPACITY];
    const size_t length = format_field(field, value);
    return std::string(value, length);
}

py::list state_mapping::names()
{
    py::list all;
    for (const field_entry& field : field_table())
        all.append(field.name);
    return all;
}

py::tuple state_mapping::writable()
{
    py::tuple names(std::size(WRITABLE));
    for (size_t i = 0; i < std::size(WRITABLE); i++)
        names[i] = WRITABLE[i].field;
    return names;
}
