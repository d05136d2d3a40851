#include "flight/igc_reader.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// B record: B HHMMSS DDMMmmmN DDDMMmmmE V PPPPP GGGGG, then the extensions.
constexpr size_t B_TIME = 1, B_LATITUDE = 7, B_LONGITUDE = 15, B_VALIDITY = 24, B_PRESSURE = 25, B_GNSS = 30;
constexpr size_t B_LENGTH = 35;
constexpr size_t ALTITUDE_DIGITS = 5;
// I record: I NN, then NN times SS FF CCC (first and last byte, 1-based, and the code).
constexpr size_t I_COUNT = 1, I_FIRST = 3, I_ENTRY = 7;
// Extensions with two decimals in five characters.
constexpr size_t HUNDREDTHS_WIDTH = 5;
constexpr double TENTHS = 10.0, HUNDREDTHS = 100.0;
constexpr double MINUTES_PER_DEGREE = 60.0, THOUSANDTHS = 1000.0;
// A year written with two digits: 80..99 are the 1900s, the rest 2000s.
constexpr int CENTURY_PIVOT = 80;
// How far into a text looks_like_igc searches for a date or fix.
constexpr size_t LOOK_LINES = 64;

struct extension {
    size_t first = 0, last = 0;  // 0-based, inclusive
    bool present = false;
};

struct extensions {
    extension ias, tas, vat;
};

std::optional<uint32_t> digits(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + uint32_t(c - '0');
    }
    return value;
}

// A signed altitude field: "01234", "-0012".
std::optional<double> signed_field(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const auto value = digits(text);
    if (!value)
        return std::nullopt;
    return negative ? -double(*value) : double(*value);
}

// VAT: a sign, digits and an optional decimal point; tenths without one.
std::optional<double> vario_field(std::string_view text)
{
    const size_t point = text.find('.');
    if (point == text.npos) {
        const auto tenths = signed_field(text);
        return tenths ? std::optional<double>(*tenths / TENTHS) : std::nullopt;
    }
    const auto whole = signed_field(text.substr(0, point));
    const std::string_view decimals = text.substr(point + 1);
    const auto fraction = digits(decimals);
    if (!whole || !fraction)
        return std::nullopt;
    const double part = *fraction / std::pow(10.0, double(decimals.size()));
    return text[0] == '-' ? *whole - part : *whole + part;
}

// Degrees from DDMMmmm (latitude) or DDDMMmmm (longitude) and the hemisphere.
std::optional<double> coordinate(std::string_view text, size_t degree_digits, char positive, char negative)
{
    const auto degrees = digits(text.substr(0, degree_digits));
    const auto thousandths = digits(text.substr(degree_digits, 5));
    const char hemisphere = text[degree_digits + 5];
    if (!degrees || !thousandths || (hemisphere != positive && hemisphere != negative) ||
        *thousandths >= MINUTES_PER_DEGREE * THOUSANDTHS)
        return std::nullopt;
    const double value = *degrees + *thousandths / THOUSANDTHS / MINUTES_PER_DEGREE;
    return hemisphere == negative ? -value : value;
}

std::optional<double> time_of_day(std::string_view hhmmss)
{
    const auto h = digits(hhmmss.substr(0, 2)), m = digits(hhmmss.substr(2, 2)), s = digits(hhmmss.substr(4, 2));
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59)
        return std::nullopt;
    return *h * SECONDS_PER_HOUR + *m * SECONDS_PER_MINUTE + *s;
}

std::optional<double> speed_field(std::string_view text)
{
    const auto value = digits(text);
    if (!value)
        return std::nullopt;
    return text.size() >= HUNDREDTHS_WIDTH ? *value / HUNDREDTHS : double(*value);
}

// The extension's characters, or "" when the record is too short for it.
std::string_view extension_text(std::string_view line, const extension& e)
{
    if (!e.present || e.last >= line.size())
        return {};
    return line.substr(e.first, e.last - e.first + 1);
}

bool parse_b(std::string_view line, const extensions& ext, flight_fix& fix, double& time)
{
    if (line.size() < B_LENGTH)
        return false;
    const auto t = time_of_day(line.substr(B_TIME, 6));
    const auto latitude = coordinate(line.substr(B_LATITUDE, 8), 2, 'N', 'S');
    const auto longitude = coordinate(line.substr(B_LONGITUDE, 9), 3, 'E', 'W');
    const char validity = line[B_VALIDITY];
    const auto pressure = signed_field(line.substr(B_PRESSURE, ALTITUDE_DIGITS));
    const auto gnss = signed_field(line.substr(B_GNSS, ALTITUDE_DIGITS));
    if (!t || !latitude || !longitude || (validity != 'A' && validity != 'V') || !pressure || !gnss)
        return false;
    time = *t;
    fix.valid = validity == 'A';
    fix.latitude = *latitude;
    fix.longitude = *longitude;
    fix.pressure_altitude_m = *pressure;
    fix.gnss_altitude_m = *gnss;
    // An extension that cannot be read leaves its value unknown (held).
    if (const auto ias = speed_field(extension_text(line, ext.ias)))
        fix.ias_kmh = *ias;
    if (const auto tas = speed_field(extension_text(line, ext.tas)))
        fix.tas_kmh = *tas;
    if (const auto vat = vario_field(extension_text(line, ext.vat)))
        fix.vario_ms = *vat;
    return true;
}

bool parse_i(std::string_view line, extensions& ext)
{
    const auto count = digits(line.substr(I_COUNT, 2));
    if (!count || line.size() < I_FIRST + *count * I_ENTRY)
        return false;
    extensions found;
    for (uint32_t i = 0; i < *count; i++) {
        const std::string_view entry = line.substr(I_FIRST + i * I_ENTRY, I_ENTRY);
        const auto first = digits(entry.substr(0, 2)), last = digits(entry.substr(2, 2));
        if (!first || !last || *first <= B_LENGTH || *last < *first)
            return false;
        const std::string_view code = entry.substr(4, 3);
        const extension e{*first - 1u, *last - 1u, true};
        if (code == "IAS")
            found.ias = e;
        else if (code == "TAS")
            found.tas = e;
        else if (code == "VAT")
            found.vat = e;
    }
    ext = found;
    return true;
}

// HFDTEDDMMYY or HFDTEDATE:DDMMYY,NN; a date of the calendar only.
bool parse_date(std::string_view line, flight& out)
{
    std::string_view rest = line.substr(5);
    if (rest.starts_with("DATE:"))
        rest.remove_prefix(5);
    if (rest.size() < 6)
        return false;
    const auto d = digits(rest.substr(0, 2)), m = digits(rest.substr(2, 2)), y = digits(rest.substr(4, 2));
    if (!d || !m || !y)
        return false;
    const int year = int(*y) + (int(*y) >= CENTURY_PIVOT ? 1900 : 2000);
    if (!civil_date_exists(year, int(*m), int(*d)))
        return false;
    // The flight's date is its first fix's: a logger that writes the new
    // day's date at midnight does not move the fixes before it.
    if (out.fixes.empty()) {
        out.day = int(*d);
        out.month = int(*m);
        out.year = year;
    }
    return true;
}

// The text of a header after its colon (or its code), spaces trimmed.
std::string header_text(std::string_view line)
{
    const size_t colon = line.find(':');
    std::string_view value = colon == line.npos ? line.substr(5) : line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    return std::string(value);
}

void parse_h(std::string_view line, long number, flight& out)
{
    if (line.size() < 5)
        return;
    const std::string_view code = line.substr(2, 3);
    if (code == "DTE") {
        if (!parse_date(line, out))
            out.skipped.push_back({number, skip_reason::malformed});
    } else if (code == "PLT") {
        out.pilot = header_text(line);
    } else if (code == "GTY" || code == "GID") {
        const std::string text = header_text(line);
        if (!text.empty())
            out.glider = out.glider.empty() ? text : out.glider + " " + text;
    }
}

// The next line of text, without its LF or CR LF.
bool next_line(std::string_view& text, std::string_view& line)
{
    if (text.empty())
        return false;
    const size_t end = text.find('\n');
    line = text.substr(0, end);
    text = end == text.npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

}  // namespace

bool looks_like_igc(std::string_view text)
{
    std::string_view line;
    for (size_t n = 0; n < LOOK_LINES && next_line(text, line); n++) {
        if (n == 0 && line.size() >= 2 && line[0] == 'A') {
            bool printable = true;
            for (char c : line)
                printable = printable && c >= 0x20 && c < 0x7f;
            if (printable)
                return true;
        }
        flight_fix fix;
        double time;
        if ((line.size() >= 5 && line[0] == 'H' && line.substr(2, 3) == "DTE") || (line.starts_with("B") && parse_b(line, {}, fix, time)))
            return true;
    }
    return false;
}

bool read_igc(std::string_view text, flight& out, std::string& why)
{
    out = flight{};
    flight_builder builder(out);
    extensions ext;
    std::string_view line;
    long number = 0;
    bool any_record = false;
    while (next_line(text, line)) {
        number++;
        if (line.empty())
            continue;
        switch (line[0]) {
        case 'A': any_record = true; break;
        case 'H':
            any_record = true;
            parse_h(line, number, out);
            break;
        case 'I':
            if (!parse_i(line, ext))
                out.skipped.push_back({number, skip_reason::malformed});
            break;
        case 'B': {
            flight_fix fix;
            double time;
            if (parse_b(line, ext, fix, time)) {
                fix.time = time;
                builder.add_time_of_day(fix, number);
            } else {
                out.skipped.push_back({number, skip_reason::malformed});
            }
            break;
        }
        default: break;  // C, D, E, F, G, K, L and the rest: nothing the instrument needs
        }
    }
    if (out.fixes.empty()) {
        why = any_record ? "it has no fix (no readable B record)" : "it is not an IGC flight log";
        return false;
    }
    if (!flight_playable(out)) {
        why = "it has no valid fix (every fix is marked V)";
        return false;
    }
    flight_prepare(out);
    return true;
}
