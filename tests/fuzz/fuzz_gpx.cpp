// libFuzzer target for the GPX reader (expat underneath): any bytes must read
// to a playable flight or to one message, never crash or hang; a flight read
// is in strictly increasing time with every channel a number.
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "flight/gpx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    flight f;
    std::string why;
    const bool read = read_gpx(std::string_view(reinterpret_cast<const char*>(data), size), f, why);
    if (!read) {
        if (why.empty())
            abort();  // a failure without its message
        return 0;
    }
    if (f.fixes.empty())
        abort();
    for (size_t i = 0; i < f.fixes.size(); i++) {
        const flight_fix& fix = f.fixes[i];
        if ((i > 0 && fix.time <= f.fixes[i - 1].time) || !std::isfinite(fix.altitude_ft) ||
            !std::isfinite(fix.airspeed_kmh))
            abort();
    }
    return 0;
}
