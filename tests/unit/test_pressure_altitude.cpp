#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/state.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "host/pressure_altitude.h"
#include "screens/screens.h"

namespace {

constexpr uint8_t FEET = 0, METRES = 1;

void no_lamp(void*, bool) {}
bool sensor_checked(void*) { return true; }
std::string last_line;
void keep_line(void*, const char* line) { last_line = line; }
void nothing(void*) {}
const host_io io = {nullptr, no_lamp, sensor_checked, keep_line, nothing, nothing};

}  // namespace

TEST(PressureAltitude, WorkedNumbers)
{
    struct Row { int32_t shown; uint8_t unit; uint32_t qnh; int32_t offset; int32_t expected; };
    const Row rows[] = {
        {3250, FEET, 1013250, 0, 3250},
        {3250, FEET, 1023250, 0, 2984},
        {3250, FEET, 1003250, 0, 3518},
        {0, FEET, 1023250, 0, -272},      // -271.9: nearest, not toward zero
        {10000, FEET, 980250, 0, 10850},
        {0, FEET, 1013250, 0, 0},          // factory QNH, slider at rest
        {65535, FEET, 1013250, 0, 65535},  // 65534.99999...: rounded, not cut
        {0, FEET, 1013000, 0, 7},          // a quarter mb below standard: 6.8 ft up
        // Metres: the slider times 3.280839895 feet.
        {1, METRES, 1013250, 0, 3},        // 3.28
        {2, METRES, 1013250, 0, 7},        // 6.56
        {1000, METRES, 1013250, 0, 3281},
        {1000, METRES, 1023250, 0, 3015},
        // The offset is added in feet after rounding, whatever the unit.
        {3250, FEET, 1023250, 125, 3109},
        {3250, FEET, 1023250, -125, 2859},
        {0, FEET, 1023250, -7, -279},
        {2, METRES, 1013250, 1, 8},
        // Past the model's top (about 44,307 m) the encoder reports the top.
        {44307, METRES, 1013250, 0, 145364},
        {65535, METRES, 1013250, 0, 145366},
        {65535, METRES, 940251, 10, 145376},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(pressure_altitude_ft(r.shown, r.unit, r.qnh, r.offset), r.expected)
            << r.shown << (r.unit == METRES ? " m" : " ft") << " at " << r.qnh << " offset " << r.offset;
    }
}

TEST(PressureAltitude, EachPassFillsTheEncoderBeforeTheSentence)
{
    host_set_altitude(0);
    host_switch_on();
    st.serial_out = 1;
    run_pass(io);
    // Slider at 0, factory QNH: the sentence the encoder always sent.
    EXPECT_EQ(st.encoder_altitude, 0);
    EXPECT_EQ(last_line, "#AL +00000T+25D1\r");

    host_set_altitude(3250);
    st.qnh = 1023250;
    st.altitude_cal_offset = 0;
    run_pass(io);
    EXPECT_EQ(st.encoder_altitude, 2984);
    EXPECT_EQ(last_line, "#AL +02984T+25E8\r");

    // Resolution 100 ft rounds what the encoder reports, not the slider.
    st.altitude_resolution = 4;
    st.altitude_cal_offset = 125;  // 3109
    run_pass(io);
    EXPECT_EQ(st.encoder_altitude, 3109);
    EXPECT_EQ(last_line, "#AL +03100T+25D5\r");
    EXPECT_EQ(st.encoder_c_altitude, 0);

    host_set_altitude(0);
}
