#include "flight/flight_sample.h"

#include <algorithm>
#include <cmath>

namespace {

flight_sample held(const flight_fix& fix, bool gap)
{
    flight_sample s;
    s.altitude_ft = fix.altitude_ft;
    s.airspeed_kmh = fix.airspeed_kmh;
    s.vario_fpm = fix.vario_fpm;
    s.in_gap = gap;
    return s;
}

// The index i with fixes[i].time <= time < fixes[i + 1].time.
size_t segment(const std::vector<flight_fix>& fixes, double time, size_t hint)
{
    if (hint >= fixes.size() || fixes[hint].time > time) {
        const auto after = std::upper_bound(fixes.begin(), fixes.end(), time,
                                            [](double t, const flight_fix& fix) { return t < fix.time; });
        return size_t(after - fixes.begin()) - 1;
    }
    while (hint + 1 < fixes.size() && fixes[hint + 1].time <= time)
        hint++;
    return hint;
}

}  // namespace

flight_sample sample_flight(const flight& f, double time, size_t& hint)
{
    const std::vector<flight_fix>& fixes = f.fixes;
    if (fixes.empty())
        return {};
    if (time < fixes.front().time) {
        hint = 0;
        return held(fixes.front(), false);
    }
    if (time >= fixes.back().time) {
        hint = fixes.size() - 1;
        return held(fixes.back(), false);
    }
    hint = segment(fixes, time, hint);
    const flight_fix& a = fixes[hint];
    const flight_fix& b = fixes[hint + 1];
    const double span = b.time - a.time;
    if (span > FLIGHT_GAP_SECONDS)
        return held(a, true);
    const double k = (time - a.time) / span;
    flight_sample s;
    s.altitude_ft = a.altitude_ft + (b.altitude_ft - a.altitude_ft) * k;
    s.airspeed_kmh = a.airspeed_kmh + (b.airspeed_kmh - a.airspeed_kmh) * k;
    s.vario_fpm = std::isnan(a.vario_fpm) ? a.vario_fpm : a.vario_fpm + (b.vario_fpm - a.vario_fpm) * k;
    s.climb_fpm = (b.altitude_ft - a.altitude_ft) / span * SECONDS_PER_MINUTE;
    return s;
}
