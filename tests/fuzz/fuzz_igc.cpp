// libFuzzer target for the IGC reader: any bytes must read to a playable
// flight or to one message, never crash or hang; a flight read is in strictly
// increasing time with every channel a number, and plays a few ticks.
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "flight/flight_player.h"
#include "flight/igc_reader.h"
#include "host/pass.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    host_program_start();
    host_switch_on();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    flight f;
    std::string why;
    const bool read = read_igc(std::string_view(reinterpret_cast<const char*>(data), size), f, why);
    if (!read) {
        if (why.empty())
            abort();  // a failure without its message
        return 0;
    }
    for (size_t i = 0; i < f.fixes.size(); i++) {
        const flight_fix& fix = f.fixes[i];
        if ((i > 0 && fix.time <= f.fixes[i - 1].time) || !std::isfinite(fix.altitude_ft) ||
            !std::isfinite(fix.airspeed_kmh))
            abort();
    }
    flight_player player(f);
    player.fly(3, HEADLESS_HOST);
    player.seek(f.start_time() + f.duration() / 2);
    player.fly(3, HEADLESS_HOST);
    return 0;
}
