#include "link/link_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// What no aircraft the instrument is fitted to flies; beyond these a line is
// a fault of the sender, not a reading to clamp.
struct field_limits {
    double minimum, maximum;
};
constexpr field_limits LIMITS[LINK_FIELDS] = {
    {-5000.0, 100000.0},  // pressure altitude, ft
    {-2000.0, 2000.0},    // vertical speed, ft/s
    {-50.0, 2000.0},      // indicated airspeed, kt (a little below 0 at rest)
    {0.0, 1.0e9},         // elapsed time, s
};

constexpr const char* FAULT_NAMES[LINK_FAULT_KINDS] = {
    "none", "too long", "not text", "wrong number of fields", "not a number", "not finite", "out of range",
    "time going back", "wrong length", "wrong header", "unknown index",
};

bool is_text(std::string_view line)
{
    for (char c : line) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E)
            if (byte != '\t')
                return false;
    }
    return true;
}

std::string_view trimmed(std::string_view field)
{
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
        field.remove_suffix(1);
    return field;
}

link_fault read_number(std::string_view field, const field_limits& limits, double& value)
{
    field = trimmed(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty())
        return link_fault::not_a_number;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (end != field.data() + field.size())
        return link_fault::not_a_number;
    if (error == std::errc::result_out_of_range)
        return link_fault::out_of_range;
    if (error != std::errc())
        return link_fault::not_a_number;
    if (!std::isfinite(value))
        return link_fault::not_finite;
    if (value < limits.minimum || value > limits.maximum)
        return link_fault::out_of_range;
    return link_fault::none;
}

}  // namespace

const char* link_fault_name(link_fault fault)
{
    return FAULT_NAMES[static_cast<uint8_t>(fault) % LINK_FAULT_KINDS];
}

link_fault read_link_line(std::string_view line, link_values& out)
{
    // The CR of a CR LF line end is no part of the line.
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > LINK_LINE_MAX)
        return link_fault::too_long;
    if (!is_text(line))
        return link_fault::not_text;
    double values[LINK_FIELDS];
    int field = 0;
    for (;;) {
        const size_t comma = line.find(',');
        if (field == LINK_FIELDS)
            return link_fault::field_count;
        const link_fault fault = read_number(line.substr(0, comma), LIMITS[field], values[field]);
        if (fault != link_fault::none)
            return comma == line.npos && field + 1 < LINK_FIELDS ? link_fault::field_count : fault;
        field++;
        if (comma == line.npos)
            break;
        line.remove_prefix(comma + 1);
    }
    if (field != LINK_FIELDS)
        return link_fault::field_count;
    out = {values[0], values[1], values[2], values[3]};
    return link_fault::none;
}

link_fault check_link_values(const link_values& values)
{
    const double fields[LINK_FIELDS] = {values.pressure_altitude_ft, values.vertical_speed_fps, values.airspeed_kt,
                                        values.elapsed_s};
    for (int i = 0; i < LINK_FIELDS; i++) {
        if (!std::isfinite(fields[i]))
            return link_fault::not_finite;
        if (fields[i] < LIMITS[i].minimum || fields[i] > LIMITS[i].maximum)
            return link_fault::out_of_range;
    }
    return link_fault::none;
}

link_line_text format_link_line(const link_values& values)
{
    link_line_text line;
    snprintf(line.text, sizeof line.text, "%.1f,%.2f,%.1f,%.2f", values.pressure_altitude_ft,
             values.vertical_speed_fps, values.airspeed_kt, values.elapsed_s);
    return line;
}
