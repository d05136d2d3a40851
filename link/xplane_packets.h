// X-Plane's UDP interface as the link uses it (little-endian throughout):
// the window subscribes to four datarefs with RREF requests sent to
// X-Plane's port, reads the replies (pairs of the client's index and a
// float value), and writes the altimeter setting back with a DREF packet.
// Whatever arrives is read without trusting it: a reply of the wrong length
// or kind, an index nobody asked for, NaN, infinities and numbers no
// aircraft flies are refused whole, with their reason.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/link_line.h"

constexpr uint16_t XPLANE_PORT = 49000;
constexpr size_t XPLANE_HEADER_SIZE = 5;  // "RREF" and a zero byte (or ',' or 'O')
constexpr size_t XPLANE_RREF_NAME_SIZE = 400;
constexpr size_t XPLANE_RREF_REQUEST_SIZE = XPLANE_HEADER_SIZE + 4 + 4 + XPLANE_RREF_NAME_SIZE;  // 413
constexpr size_t XPLANE_DREF_NAME_SIZE = 500;
constexpr size_t XPLANE_DREF_SIZE = XPLANE_HEADER_SIZE + 4 + XPLANE_DREF_NAME_SIZE;  // 509
constexpr size_t XPLANE_REPLY_ITEM_SIZE = 8;  // int32 index, float32 value
// Replies a second asked for, and the seconds without one after which the
// subscriptions are sent again.
constexpr int32_t XPLANE_RATE_HZ = 20;
constexpr double XPLANE_RENEW_SECONDS = 3.0;

// What the link subscribes to; the index is the client index it asks with.
enum class xplane_dataref : uint8_t { pressure_altitude, vertical_speed, airspeed, clock };
constexpr int XPLANE_DATAREFS = 4;
// "sim/flightmodel2/position/pressure_altitude" (ft), "sim/flightmodel/position/vh_ind_fpm" (ft/min),
// "sim/flightmodel/position/indicated_airspeed" (kt), "sim/time/total_running_time_sec".
const char* xplane_dataref_name(xplane_dataref dataref);
// The altimeter setting written back, inHg.
constexpr const char* XPLANE_BAROMETER_DATAREF = "sim/cockpit2/gauges/actuators/barometer_setting_in_hg_pilot";

using xplane_rref_request = std::array<uint8_t, XPLANE_RREF_REQUEST_SIZE>;
using xplane_dref_packet = std::array<uint8_t, XPLANE_DREF_SIZE>;

// A subscription (frequency 0 cancels it).
xplane_rref_request make_rref_request(int32_t frequency_hz, xplane_dataref dataref);
// A dataref written.
xplane_dref_packet make_dref_packet(float value, const char* name);

// The replies: each dataref's newest value; the link's four numbers once
// every one has come.
class xplane_reader {
public:
    // One datagram: none when taken, else why it was refused (nothing of it
    // is taken).
    link_fault read(const uint8_t* bytes, size_t size);
    bool complete() const { return seen_ == (1u << XPLANE_DATAREFS) - 1; }
    // The newest values as the link's line gives them (vertical speed in
    // ft/s); only once complete.
    link_values values() const;
    void reset() { *this = xplane_reader{}; }

private:
    float value_[XPLANE_DATAREFS] = {};
    uint32_t seen_ = 0;
};

// QNH as the instrument keeps it (mb x 1000) in the simulators' units.
double qnh_hpa(uint32_t qnh_mb1000);
double qnh_inhg(uint32_t qnh_mb1000);
