#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "core/encoder.h"
#include "core/state.h"
#include "screens/screens.h"

namespace {

const std::string CR = "\r";
const std::string STX = "\x02";
const std::string ETX = "\x03";

// Factory settings on a screen, then the given protocol, resolution and the
// altitudes (the encoder's two, and the test altitude).
std::string sentence_on(screen_handler screen, uint8_t protocol, uint8_t resolution, int32_t altitude,
                        int32_t c_altitude, int32_t test_altitude)
{
    load_default_settings();
    st.current_screen = screen, st.serial_protocol = protocol, st.altitude_resolution = resolution;
    st.encoder_altitude = altitude, st.encoder_c_altitude = c_altitude, st.test_altitude = test_altitude;
    memset(st.serial_line, 'x', sizeof st.serial_line);
    format_encoder_sentence();
    return std::string(st.serial_line);
}

// On the main display.
std::string sentence(uint8_t protocol, int32_t altitude, uint8_t resolution = 0)
{
    return sentence_on(screen_main, protocol, resolution, altitude, 0, 0);
}

// During the encoder test at the given test altitude.
std::string test_sentence(uint8_t protocol, int32_t test_altitude, uint8_t resolution = 0)
{
    return sentence_on(screen_test_altitude, protocol, resolution, 5555, 7777, test_altitude);
}

}  // namespace

TEST(Encoder, Checksum8)
{
    struct Row { const char* text; uint8_t sum; };
    const Row rows[] = {
        {"", 0x00}, {"abc", 0x26}, {"\x05", 0x05},
        {"\xff\x02", 0x01},  // wraps modulo 256, bytes taken unsigned
        {"#AL +01234T+25", 0xDB}, {"$QTX+01234T+25", 0x2C}, {"ALT+01234C+00000L1013+0000X", 0xB8},
    };
    for (const Row& r : rows)
        EXPECT_EQ(checksum8(r.text), r.sum) << r.text;
}

TEST(Encoder, SentencesInEveryFormat)
{
    struct Row { const char* what; std::string got, want; };
    const Row rows[] = {
        {"GARMIN AT 1234", sentence(0, 1234), "#AL +01234T+25DB" + CR},
        {"MAGELLAN 1234", sentence(1, 1234), "$QTX+01234T+252C" + CR},
        {"NORTHSTAR 1234", sentence(2, 1234), "ALT 01234" + CR},
        {"TRIMBLE 1234", sentence(3, 1234), "ALT 01234" + CR},
        {"QTX 1234", sentence(4, 1234), "ALT+01234C+00000L1013+0000XB8" + CR},
        {"MICROAIR 1234", sentence(5, 1234), STX + "a=01234" + ETX},
        {"GARMIN AT 0", sentence(0, 0), "#AL +00000T+25D1" + CR},
        {"QTX 0", sentence(4, 0), "ALT+00000C+00000L1013+0000XAE" + CR},
        {"MICROAIR 0", sentence(5, 0), STX + "a=00000" + ETX},
        {"test GARMIN AT -1000", test_sentence(0, -1000), "#AL -01000T+25D4" + CR},
        {"test QTX -1000", test_sentence(4, -1000), "ALT-01000C-01000L1013+0000XB4" + CR},
        {"test NORTHSTAR -1000", test_sentence(2, -1000), "ALT -1000" + CR},
        {"test TRIMBLE -1000", test_sentence(3, -1000), "ALT -1000" + CR},
        {"test MICROAIR -1000", test_sentence(5, -1000), STX + "a=-1000" + ETX},
        // Checksums below 0x10 keep their leading zero.
        {"test GARMIN AT -99999", test_sentence(0, -99999), "#AL -99999T+2500" + CR},
        {"test QTX -99998", test_sentence(4, -99998), "ALT-99998C-99998L1013+0000X0A" + CR},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.want) << r.what;
}

TEST(Encoder, QtxSendsTheFixedReferenceAndTheCAltitude)
{
    sentence_on(screen_main, 4, 1, 1234, -56, 0);
    st.qnh = 940300;
    format_encoder_sentence();
    // L1013 whatever the QNH; only the first altitude is rounded.
    EXPECT_EQ(std::string(st.serial_line), "ALT+01230C-00056L1013+0000XC1" + CR);
}

TEST(Encoder, RoundingToTheStepHalvesAwayFromZero)
{
    struct Row { uint8_t resolution; int32_t altitude; const char* sent; };
    const Row rows[] = {
        {0, 1234, "ALT 01234\r"}, {0, -7, "ALT -0007\r"},
        {1, 1234, "ALT 01230\r"}, {1, 1235, "ALT 01240\r"}, {1, -1235, "ALT -1240\r"}, {1, -1234, "ALT -1230\r"},
        {1, 0, "ALT 00000\r"}, {1, 4, "ALT 00000\r"}, {1, -4, "ALT 00000\r"}, {1, 5, "ALT 00010\r"},
        {1, -5, "ALT -0010\r"}, {2, 1237, "ALT 01225\r"}, {2, 1238, "ALT 01250\r"},
        {3, 1224, "ALT 01200\r"}, {3, 1225, "ALT 01250\r"}, {4, 1249, "ALT 01200\r"}, {4, 1250, "ALT 01300\r"},
        {4, -1250, "ALT -1300\r"},
        // The extremes of the 32-bit altitude round without overflowing.
        {4, INT32_MAX, "ALT 2147483600\r"},
        {4, INT32_MIN, "ALT -2147483600\r"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(sentence(2, r.altitude, r.resolution), r.sent)
            << "resolution " << int(r.resolution) << ", altitude " << r.altitude;
}

TEST(Encoder, TestAltitudeIsSentUnrounded)
{
    struct Row { uint8_t protocol; std::string want; };
    const Row rows[] = {
        {0, "#AL +01234T+25DB" + CR}, {1, "$QTX+01234T+252C" + CR}, {2, "ALT 01234" + CR}, {3, "ALT 01234" + CR},
        {4, "ALT+01234C+01234L1013+0000XC2" + CR}, {5, STX + "a=01234" + ETX},
    };
    for (const Row& r : rows)
        EXPECT_EQ(test_sentence(r.protocol, 1234, 4), r.want) << "protocol " << int(r.protocol);
}

TEST(Encoder, LongestSentencesFitTheLine)
{
    struct Row { int32_t altitude; std::string want; };
    const Row rows[] = {
        {INT32_MIN, "ALT-2147483648C-2147483648L1013+0000XF0" + CR},
        {INT32_MAX, "ALT+2147483647C+2147483647L1013+0000XEA" + CR},
    };
    for (const Row& r : rows) {
        const std::string got = test_sentence(4, r.altitude);
        EXPECT_EQ(got, r.want);
        EXPECT_EQ(got.size(), 40u);
    }
}
