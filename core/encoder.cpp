#include "core/encoder.h"

#include <cstdio>
#include <cstring>

#include "core/state.h"
#include "screens/screens.h"

// QTX reports this reference pressure (mb x 1000) instead of the QNH setting.
constexpr uint32_t FIXED_REFERENCE_PRESSURE = 1013250;

constexpr char STX = 0x02;
constexpr char ETX = 0x03;

enum : uint8_t {
    PROTOCOL_GARMIN_AT = 0,
    PROTOCOL_MAGELLAN = 1,
    PROTOCOL_NORTHSTAR = 2,
    PROTOCOL_TRIMBLE = 3,
    PROTOCOL_QTX = 4,
    PROTOCOL_MICROAIR = 5,
};

uint8_t checksum8(const char* text)
{
    uint8_t sum = 0;
    for (const char* c = text; *c; ++c)
        sum = uint8_t(sum + uint8_t(*c));
    return sum;
}

// Nearest multiple of step, halves away from zero. Worked in 64 bits so the
// extremes of the 32-bit input cannot overflow.
static long long round_to_step(int32_t altitude, uint16_t step)
{
    long long a = altitude;
    long long half = step / 2;
    long long t = a > 0 ? a + half : a - half;
    return (t / step) * step;
}

// Appends the two-digit checksum of everything in line so far and a CR.
static void append_checksum(char* line, size_t size)
{
    size_t used = strlen(line);
    snprintf(line + used, size - used, "%02X\r", unsigned(checksum8(line)));
}

void format_encoder_sentence()
{
    uint8_t resolution = st.altitude_resolution < 5 ? st.altitude_resolution : 0;
    long primary = long(round_to_step(st.encoder_altitude, RESOLUTION_STEPS[resolution]));
    long secondary = long(st.encoder_c_altitude);
    if (st.current_screen == screen_test_altitude) {
        primary = long(st.test_altitude);
        secondary = long(st.test_altitude);
    }

    char line[SERIAL_LINE_SIZE];
    line[0] = 0;
    switch (st.serial_protocol) {
    case PROTOCOL_GARMIN_AT:
        snprintf(line, sizeof line, "#AL %+06ldT+25", primary);
        append_checksum(line, sizeof line);
        break;
    case PROTOCOL_MAGELLAN:
        snprintf(line, sizeof line, "$QTX%+06ldT+25", primary);
        append_checksum(line, sizeof line);
        break;
    case PROTOCOL_NORTHSTAR:
    case PROTOCOL_TRIMBLE:
        snprintf(line, sizeof line, "ALT %05ld\r", primary);
        break;
    case PROTOCOL_QTX: {
        int n = snprintf(line, sizeof line, "ALT%+06ldC%+06ldL%04d", primary, secondary,
                         int(FIXED_REFERENCE_PRESSURE / 1000));
        if (n > 0 && size_t(n) < sizeof line)
            snprintf(line + n, sizeof line - size_t(n), "%+05dX", 0);
        append_checksum(line, sizeof line);
        break;
    }
    case PROTOCOL_MICROAIR:
        snprintf(line, sizeof line, "%ca=%05ld%c", STX, primary, ETX);
        break;
    default:
        break;
    }

    memcpy(st.serial_line, line, sizeof st.serial_line);
}
