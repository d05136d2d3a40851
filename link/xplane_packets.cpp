#include "link/xplane_packets.h"

#include <cmath>
#include <cstring>

#include "link/link_inputs.h"

namespace {

constexpr const char* DATAREF_NAMES[XPLANE_DATAREFS] = {
    "sim/flightmodel2/position/pressure_altitude",
    "sim/flightmodel/position/vh_ind_fpm",
    "sim/flightmodel/position/indicated_airspeed",
    "sim/time/total_running_time_sec",
};

// Standard pressure: 1013.25 hPa is 29.9213 inHg.
constexpr double HPA_PER_INHG = 33.8638866667;
constexpr double MB1000_PER_HPA = 1000.0;

void put_int32(uint8_t* at, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; i++)
        at[i] = uint8_t(bits >> (8 * i));
}

void put_float(uint8_t* at, float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    put_int32(at, static_cast<int32_t>(bits));
}

int32_t get_int32(const uint8_t* at)
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; i++)
        bits |= uint32_t(at[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

float get_float(const uint8_t* at)
{
    const uint32_t bits = static_cast<uint32_t>(get_int32(at));
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

void put_name(uint8_t* at, size_t room, const char* name)
{
    strncpy(reinterpret_cast<char*>(at), name, room - 1);
}

}  // namespace

const char* xplane_dataref_name(xplane_dataref dataref)
{
    return DATAREF_NAMES[static_cast<uint8_t>(dataref) % XPLANE_DATAREFS];
}

xplane_rref_request make_rref_request(int32_t frequency_hz, xplane_dataref dataref)
{
    xplane_rref_request packet{};
    memcpy(packet.data(), "RREF", 4);
    put_int32(packet.data() + XPLANE_HEADER_SIZE, frequency_hz);
    put_int32(packet.data() + XPLANE_HEADER_SIZE + 4, static_cast<int32_t>(dataref));
    put_name(packet.data() + XPLANE_HEADER_SIZE + 8, XPLANE_RREF_NAME_SIZE, xplane_dataref_name(dataref));
    return packet;
}

xplane_dref_packet make_dref_packet(float value, const char* name)
{
    xplane_dref_packet packet{};
    memcpy(packet.data(), "DREF", 4);
    put_float(packet.data() + XPLANE_HEADER_SIZE, value);
    put_name(packet.data() + XPLANE_HEADER_SIZE + 4, XPLANE_DREF_NAME_SIZE, name);
    return packet;
}

link_fault xplane_reader::read(const uint8_t* bytes, size_t size)
{
    if (size < XPLANE_HEADER_SIZE + XPLANE_REPLY_ITEM_SIZE ||
        (size - XPLANE_HEADER_SIZE) % XPLANE_REPLY_ITEM_SIZE != 0)
        return link_fault::wrong_length;
    // Versions end the header with a zero byte, a comma or an 'O'.
    if (memcmp(bytes, "RREF", 4) != 0 || (bytes[4] != '\0' && bytes[4] != ',' && bytes[4] != 'O'))
        return link_fault::wrong_header;
    float taken[XPLANE_DATAREFS];
    memcpy(taken, value_, sizeof taken);
    uint32_t seen = seen_;
    for (size_t at = XPLANE_HEADER_SIZE; at < size; at += XPLANE_REPLY_ITEM_SIZE) {
        const int32_t index = get_int32(bytes + at);
        if (index < 0 || index >= XPLANE_DATAREFS)
            return link_fault::unknown_index;
        const float value = get_float(bytes + at + 4);
        if (!std::isfinite(value))
            return link_fault::not_finite;
        taken[index] = value;
        seen |= 1u << index;
    }
    // Checked as the link's line is, once every value is there.
    if (seen == (1u << XPLANE_DATAREFS) - 1) {
        const link_values checked = {taken[0], taken[1] / SECONDS_PER_MINUTE, taken[2], taken[3]};
        const link_fault fault = check_link_values(checked);
        if (fault != link_fault::none)
            return fault;
    }
    memcpy(value_, taken, sizeof value_);
    seen_ = seen;
    return link_fault::none;
}

link_values xplane_reader::values() const
{
    return {value_[0], value_[1] / SECONDS_PER_MINUTE, value_[2], value_[3]};
}

double qnh_hpa(uint32_t qnh_mb1000)
{
    return double(qnh_mb1000) / MB1000_PER_HPA;
}

double qnh_inhg(uint32_t qnh_mb1000)
{
    return qnh_hpa(qnh_mb1000) / HPA_PER_INHG;
}
