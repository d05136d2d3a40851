// libFuzzer target for the flight simulator link: any bytes, as a datagram or
// a recorded stream, must be taken or refused line by line, never crash or
// hang; values taken are finite and inside the line's limits, the counts add
// up, and every input position that reaches the instrument lies in its range.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "link/link_inputs.h"
#include "session/link_player.h"

namespace {

void check_in_range(sensor_input input, int32_t position)
{
    const sensor_input_info& info = sensor_input_of(input);
    if (position < info.minimum || position > info.maximum)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    host_program_start();
    host_switch_on();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    link_stream datagram;
    datagram.feed(bytes);
    const link_counts& n = datagram.counts();
    if (n.accepted + n.refused != n.lines)
        abort();
    if (datagram.has_values()) {
        const link_values& v = datagram.latest();
        if (!std::isfinite(v.pressure_altitude_ft) || !std::isfinite(v.vertical_speed_fps) ||
            !std::isfinite(v.airspeed_kt) || !std::isfinite(v.elapsed_s))
            abort();
        const flight_inputs inputs = link_inputs(v);
        check_in_range(sensor_input::altitude, inputs.altitude);
        check_in_range(sensor_input::vertical_speed, inputs.vertical_speed);
        check_in_range(sensor_input::asi_adc, inputs.asi_adc);
    }
    // As a recorded stream, for one input in four (each tick runs a pass, so
    // this is the slow part): a bounded number of ticks, and the fuzzer's
    // timeout catches a runaway.
    if (size < 256 && size % 4 == 0) {
        static instrument_session session;
        session.program_start();
        session.switch_on();
        link_player player(session);
        std::string_view rest = bytes;
        while (!rest.empty() && player.ticks() < 300) {
            const size_t end = rest.find('\n');
            player.line(rest.substr(0, end));
            rest = end == rest.npos ? std::string_view() : rest.substr(end + 1);
        }
    }
    return 0;
}
