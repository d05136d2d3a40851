#include "flight/flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/pressure_altitude.h"

namespace {

constexpr double FPM_PER_MS = FEET_PER_METRE * SECONDS_PER_MINUTE;
constexpr double KMH_PER_MS = 3.6;
constexpr double EARTH_RADIUS_KM = 6371.0;
constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;
// A time of day that falls by more than this is the next day's.
constexpr double MIDNIGHT_JUMP_SECONDS = SECONDS_PER_DAY / 2;
// Lines listed per kind of skip in the warning; the rest are counted.
constexpr size_t LINES_LISTED = 10;

bool known(double v)
{
    return !std::isnan(v);
}

bool has_position(const flight_fix& fix)
{
    return fix.valid && known(fix.latitude) && known(fix.longitude);
}

double distance_km(const flight_fix& a, const flight_fix& b)
{
    const double la1 = a.latitude * DEGREES_TO_RADIANS, la2 = b.latitude * DEGREES_TO_RADIANS;
    const double dla = la2 - la1, dlo = (b.longitude - a.longitude) * DEGREES_TO_RADIANS;
    const double h = std::sin(dla / 2) * std::sin(dla / 2) + std::cos(la1) * std::cos(la2) * std::sin(dlo / 2) * std::sin(dlo / 2);
    return 2 * EARTH_RADIUS_KM * std::asin(std::sqrt(h < 1.0 ? h : 1.0));
}

// Fills a channel's unknown values: held from the fix before, and before the
// first known value, that value; 0 when no fix has one.
template <typename Get>
void hold_unknown(std::vector<flight_fix>& fixes, double flight_fix::*channel, Get value)
{
    double held = FLIGHT_UNKNOWN;
    for (const flight_fix& fix : fixes)
        if (known(value(fix))) {
            held = value(fix);
            break;
        }
    if (!known(held))
        held = 0.0;
    for (flight_fix& fix : fixes) {
        const double v = value(fix);
        if (known(v))
            held = v;
        fix.*channel = held;
    }
}

// Ground speed of each valid fix from its neighbours with a position, no
// further than a gap away: over both when it has both.
void derive_ground_speed(std::vector<flight_fix>& fixes)
{
    const size_t n = fixes.size();
    for (size_t i = 0; i < n; i++) {
        flight_fix& fix = fixes[i];
        if (known(fix.ground_speed_kmh) || !has_position(fix))
            continue;
        size_t a = i, b = i;
        for (size_t j = i; j-- > 0 && fix.time - fixes[j].time <= FLIGHT_GAP_SECONDS;)
            if (has_position(fixes[j])) {
                a = j;
                break;
            }
        for (size_t j = i + 1; j < n && fixes[j].time - fix.time <= FLIGHT_GAP_SECONDS; j++)
            if (has_position(fixes[j])) {
                b = j;
                break;
            }
        if (a == b)
            continue;
        fix.ground_speed_kmh = distance_km(fixes[a], fixes[b]) / (fixes[b].time - fixes[a].time) * SECONDS_PER_HOUR;
    }
}

bool pressure_sensor_missing(const std::vector<flight_fix>& fixes)
{
    double low = INFINITY, high = -INFINITY;
    for (const flight_fix& fix : fixes) {
        if (known(fix.pressure_altitude_m) && fix.pressure_altitude_m != 0.0)
            return false;
        if (fix.valid && known(fix.gnss_altitude_m)) {
            low = std::fmin(low, fix.gnss_altitude_m);
            high = std::fmax(high, fix.gnss_altitude_m);
        }
    }
    return high > low;
}

const char* skip_reason_text(skip_reason reason)
{
    switch (reason) {
    case skip_reason::malformed: return "malformed";
    case skip_reason::time_back: return "time going back";
    case skip_reason::time_repeated: return "time repeated";
    }
    return "";
}

}  // namespace

const char* altitude_source_name(altitude_source source)
{
    return source == altitude_source::gnss ? "GNSS altitude" : "pressure altitude";
}

const char* airspeed_source_name(airspeed_source source)
{
    switch (source) {
    case airspeed_source::indicated: return "IAS";
    case airspeed_source::true_airspeed: return "TAS";
    case airspeed_source::ground_speed: return "ground speed";
    }
    return "";
}

void flight_builder::add_time_of_day(flight_fix fix, long line)
{
    fix.time += day_offset_;
    if (!out_.fixes.empty()) {
        // The day that puts it nearest the last fix: a fall of more than
        // half a day is midnight passed, a rise of more than half a day a
        // fix from before midnight (going back).
        if (out_.end_time() - fix.time > MIDNIGHT_JUMP_SECONDS) {
            day_offset_ += SECONDS_PER_DAY;
            fix.time += SECONDS_PER_DAY;
        } else if (fix.time - out_.end_time() > MIDNIGHT_JUMP_SECONDS) {
            fix.time -= SECONDS_PER_DAY;
        }
    }
    add(fix, line);
}

void flight_builder::add(const flight_fix& fix, long line)
{
    if (!out_.fixes.empty() && fix.time <= out_.end_time()) {
        out_.skipped.push_back({line, fix.time == out_.end_time() ? skip_reason::time_repeated : skip_reason::time_back});
        return;
    }
    if (!fix.valid)
        out_.invalid_fixes++;
    out_.fixes.push_back(fix);
}

void flight_prepare(flight& f)
{
    std::vector<flight_fix>& fixes = f.fixes;
    f.altitude_from = altitude_source::pressure;
    bool any_pressure = false;
    for (const flight_fix& fix : fixes)
        any_pressure = any_pressure || known(fix.pressure_altitude_m);
    if (!any_pressure || pressure_sensor_missing(fixes))
        f.altitude_from = altitude_source::gnss;

    bool any_ias = false, any_tas = false;
    f.vario_logged = false;
    for (const flight_fix& fix : fixes) {
        any_ias = any_ias || known(fix.ias_kmh);
        any_tas = any_tas || known(fix.tas_kmh);
        f.vario_logged = f.vario_logged || known(fix.vario_ms);
    }
    f.airspeed_from = any_ias   ? airspeed_source::indicated
                      : any_tas ? airspeed_source::true_airspeed
                                : airspeed_source::ground_speed;
    if (f.airspeed_from == airspeed_source::ground_speed)
        derive_ground_speed(fixes);

    const bool gnss = f.altitude_from == altitude_source::gnss;
    hold_unknown(fixes, &flight_fix::altitude_ft, [gnss](const flight_fix& fix) {
        const double metres = gnss ? (fix.valid ? fix.gnss_altitude_m : FLIGHT_UNKNOWN) : fix.pressure_altitude_m;
        return metres * FEET_PER_METRE;
    });
    const airspeed_source speed = f.airspeed_from;
    hold_unknown(fixes, &flight_fix::airspeed_kmh, [speed](const flight_fix& fix) {
        switch (speed) {
        case airspeed_source::indicated: return fix.ias_kmh;
        case airspeed_source::true_airspeed: return fix.tas_kmh;
        case airspeed_source::ground_speed: break;
        }
        return fix.valid ? fix.ground_speed_kmh : FLIGHT_UNKNOWN;
    });
    if (f.vario_logged)
        hold_unknown(fixes, &flight_fix::vario_fpm, [](const flight_fix& fix) { return fix.vario_ms * FPM_PER_MS; });
}

bool flight_playable(const flight& f)
{
    for (const flight_fix& fix : f.fixes)
        if (fix.valid)
            return true;
    return false;
}

bool flight_from_track(std::span<const track_point> points, flight& out, std::string& why)
{
    out = flight{};
    flight_builder builder(out);
    double midnight = 0.0;
    bool dated = false;
    for (const track_point& p : points) {
        if (!std::isfinite(p.unix_time)) {
            out.skipped.push_back({p.line, skip_reason::malformed});
            continue;
        }
        if (!dated) {
            const long long days = (long long)std::floor(p.unix_time / SECONDS_PER_DAY);
            civil_from_days(days, out.year, out.month, out.day);
            midnight = double(days) * SECONDS_PER_DAY;
            dated = true;
        }
        flight_fix fix;
        fix.time = p.unix_time - midnight;
        fix.latitude = p.latitude;
        fix.longitude = p.longitude;
        fix.gnss_altitude_m = p.altitude_m;
        if (known(p.speed_ms))
            fix.ground_speed_kmh = p.speed_ms * KMH_PER_MS;
        builder.add(fix, p.line);
    }
    bool any_altitude = false;
    for (const flight_fix& fix : out.fixes)
        any_altitude = any_altitude || known(fix.gnss_altitude_m);
    if (out.fixes.empty()) {
        why = "its track has no point with a time";
        return false;
    }
    if (!any_altitude) {
        why = "its track has no point with an altitude";
        return false;
    }
    flight_prepare(out);
    return true;
}

std::string flight_skip_warning(const flight& f, const char* file_name)
{
    if (f.skipped.empty())
        return {};
    char text[64];
    std::string warning = std::string(file_name) + ": skipped ";
    snprintf(text, sizeof text, "%zu record%s:", f.skipped.size(), f.skipped.size() == 1 ? "" : "s");
    warning += text;
    const skip_reason reasons[] = {skip_reason::malformed, skip_reason::time_back, skip_reason::time_repeated};
    bool first_reason = true;
    std::vector<flight_skip> in_order = f.skipped;
    std::stable_sort(in_order.begin(), in_order.end(),
                     [](const flight_skip& a, const flight_skip& b) { return a.line < b.line; });
    for (skip_reason reason : reasons) {
        size_t count = 0;
        std::string lines;
        for (const flight_skip& skip : in_order)
            if (skip.reason == reason) {
                if (count < LINES_LISTED) {
                    snprintf(text, sizeof text, "%s%ld", count == 0 ? "" : ", ", skip.line);
                    lines += text;
                }
                count++;
            }
        if (count == 0)
            continue;
        if (count > LINES_LISTED) {
            snprintf(text, sizeof text, " and %zu more", count - LINES_LISTED);
            lines += text;
        }
        warning += first_reason ? " " : "; ";
        warning += skip_reason_text(reason);
        warning += count == 1 ? " at line " : " at lines ";
        warning += lines;
        first_reason = false;
    }
    return warning;
}

std::string flight_time_of_day(double time)
{
    long long seconds = (long long)std::floor(time);
    seconds %= (long long)SECONDS_PER_DAY;
    if (seconds < 0)
        seconds += (long long)SECONDS_PER_DAY;
    char text[16];
    snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

bool civil_date_exists(int year, int month, int day)
{
    int y = 0, m = 0, d = 0;
    civil_from_days(days_from_civil(year, month, day), y, m, d);
    return y == year && m == month && d == day;
}

// The civil calendar's days, counted in eras of 400 years.
long long days_from_civil(int year, int month, int day)
{
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civil_from_days(long long days, int& year, int& month, int& day)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
}
