// Instrument.state: every field of the state record by name, as Python
// values, read always and written where a scenario could (the sensor inputs).
#pragma once
#include <pybind11/pybind11.h>

#include <string_view>

#include "host/sensor_inputs.h"
#include "scenario/fields.h"

class instrument;

// The field print knows by that name; KeyError for any other, with the
// language's message when the name is one word of a scenario line.
const field_entry& field_named(std::string_view name);
// The sensor input a field writes; TypeError for a read-only field.
sensor_input writable_input(std::string_view name);
// The field of a sensor input: "altitude", "vertical_speed", "asi_adc".
const char* input_field(sensor_input which);

class state_mapping {
public:
    explicit state_mapping(instrument& owner) : owner_(owner) {}

    pybind11::object get(std::string_view name) const;
    void set(std::string_view name, const pybind11::object& value);
    bool contains(std::string_view name) const;
    // The value as "print" shows it and "expect" compares it.
    std::string printed(std::string_view name) const;
    static pybind11::list names();
    static pybind11::tuple writable();

private:
    instrument& owner_;
};
