// From a flight's values to the sensor inputs and back out of the
// instrument: the altitude the encoder sends is the logged pressure altitude
// (to its resolution) and the airspeed shown is the logged IAS (to the
// instrument's resolution), at factory settings and changed QNH, units,
// calibration and zero offset; each input held at its range's ends.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "core/airspeed.h"
#include "flight/sensor_mapping.h"
#include "screen_harness.h"

namespace {

using screen_test::pass;
using screen_test::switch_on;

constexpr double FEET_PER_METRE = 3.280839895;

struct altitude_settings {
    uint32_t qnh;
    uint8_t unit;
    int16_t cal;
    double tolerance_ft;  // one step of the altitude input, at most
};

TEST(FlightMapping, EncoderSendsTheLoggedPressureAltitude)
{
    const altitude_settings settings[] = {
        {1013250, 0, 0, 1.0},   {1030000, 0, 0, 1.0},    {960000, 0, 0, 1.0}, {1013250, 1, 0, 2.0},
        {940250, 0, 0, 1.0},    {1080250, 1, 0, 2.0},
        {995000, 1, 0, 2.0},    {1013250, 0, 150, 1.0},  {1020000, 1, -90, 2.0},
    };
    const double logged_ft[] = {0.0, 1.0, 1499.0, 4999.6, 10000.0, 18000.0, 30000.0, 41000.0};
    for (const altitude_settings& s : settings) {
        switch_on();
        st.qnh = s.qnh;
        st.altitude_unit = s.unit;
        st.altitude_cal_offset = s.cal;
        for (double pa : logged_ft) {
            SCOPED_TRACE(testing::Message() << "qnh " << s.qnh << " unit " << int(s.unit) << " cal " << s.cal
                                            << " pressure altitude " << pa);
            const int32_t position = altitude_input_for(pa);
            host_set_input(sensor_input::altitude, position);
            pass();
            if (position == 0)  // below the input's range at this QNH
                continue;
            EXPECT_LE(std::fabs(st.encoder_altitude - s.cal - pa), s.tolerance_ft);
        }
    }
    // The sentence carries it rounded to the resolution: 4999.6 ft to 5000 at
    // 100 ft, at factory settings (GARMIN AT).
    switch_on();
    st.serial_out = 1;
    st.altitude_resolution = 4;
    host_set_input(sensor_input::altitude, altitude_input_for(4951.0));
    pass();
    EXPECT_EQ(screen_test::host.last_sentence.substr(0, 14), "#AL +05000T+25");
}

TEST(FlightMapping, AltitudeShownFollowsQnhAndUnit)
{
    const struct {
        uint32_t qnh;
        uint8_t unit;
        double pressure_altitude_ft;
        int32_t shown;
    } rows[] = {
        // At standard pressure the altimeter shows the pressure altitude.
        {1013250, 0, 0.0, 0},
        {1013250, 0, 5000.0, 5000},
        {1013250, 1, 5000.0, 1524},
        // 10 mb above standard: about 27 ft per mb near sea level.
        {1023250, 0, 0.0, 271},
        {1023250, 0, 5000.0, 5262},
        // 20 mb below: the altimeter reads lower; below 0 it stays at 0.
        {993250, 0, 1000.0, 451},
        {993250, 0, 0.0, 0},
        {993250, 0, -10000.0, 0},
        // The top of the input, and far beyond it.
        {1013250, 0, 65535.0, 65535},
        {1013250, 0, 65600.0, 65535},
        {1013250, 0, 1e12, 65535},
        {1013250, 1, 1e12, 44308},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.qnh << " " << r.pressure_altitude_ft);
        switch_on();
        st.qnh = r.qnh;
        st.altitude_unit = r.unit;
        EXPECT_NEAR(altitude_input_for(r.pressure_altitude_ft), r.shown, 1);
    }
}

struct airspeed_settings {
    uint8_t unit;
    uint8_t cal_percent;
    uint16_t zero_offset;
};

const airspeed_settings AIRSPEED_SETTINGS[] = {
    {0, 100, 0}, {1, 100, 0}, {2, 100, 0}, {0, 50, 0}, {1, 150, 0}, {2, 73, 200}, {0, 100, 4000}, {1, 100, 4096},
};

void apply(const airspeed_settings& s)
{
    st.asi_unit = s.unit;
    st.asi_cal_percent = s.cal_percent;
    st.asi_zero_offset = s.zero_offset;
}

// The airspeed a reading shows, worked by hand: the square root of 21 times
// the reading above the zero offset, truncated, times the calibration in
// percent, truncated, held at 250 mph and 0 below 16 mph; km/h x 1.609 and
// kts x 0.869, truncated. The same from the flights' inverse and from the
// instrument's own channel.
TEST(FlightMapping, AirspeedShownForAReading)
{
    const struct {
        uint32_t reading;
        uint16_t zero_offset;
        uint8_t cal_percent, unit;
        uint16_t shown;
    } rows[] = {
        {0, 0, 100, 0, 0},        {12, 0, 100, 0, 0},       {13, 0, 100, 0, 16},      {13, 0, 100, 1, 25},
        {13, 0, 100, 2, 13},      {1000, 0, 100, 0, 144},   {1000, 0, 100, 1, 231},   {1000, 0, 100, 2, 125},
        {2328, 0, 100, 0, 221},   {2976, 0, 100, 0, 249},   {2977, 0, 100, 0, 250},   {4096, 0, 100, 0, 250},
        {4096, 0, 100, 1, 402},   {4096, 0, 100, 2, 217},   {4097, 0, 100, 0, 0},     {199, 200, 100, 0, 0},
        {200, 200, 100, 0, 0},    {1000, 200, 100, 0, 129}, {4296, 200, 100, 0, 250}, {4297, 200, 100, 0, 0},
        {1000, 0, 50, 0, 72},     {1000, 0, 150, 0, 216},   {2000, 0, 150, 0, 250},   {49, 0, 50, 0, 16},
        {40, 0, 50, 0, 0},        {12, 0, 150, 0, 22},      {13, 0, 150, 1, 38},      {4096, 4096, 100, 0, 0},
    };
    switch_on();
    st.asi_filter = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "reading " << r.reading << " zero " << r.zero_offset << " cal "
                                        << int(r.cal_percent) << " unit " << int(r.unit));
        EXPECT_EQ(airspeed_shown_for_reading(r.reading, r.zero_offset, r.cal_percent, r.unit), r.shown);
        st.asi_zero_offset = r.zero_offset, st.asi_cal_percent = r.cal_percent, st.asi_unit = r.unit;
        st.asi_adc = uint16_t(r.reading);
        update_airspeed();
        EXPECT_EQ(st.airspeed, r.shown);
    }
}

TEST(FlightMapping, AirspeedShownIsTheLoggedIas)
{
    const double per_unit[] = {1.609344, 1.0, 1.852};
    for (const airspeed_settings& s : AIRSPEED_SETTINGS) {
        SCOPED_TRACE(testing::Message() << "unit " << int(s.unit) << " cal " << int(s.cal_percent) << " zero "
                                        << s.zero_offset);
        // What the instrument can show at these settings, read from it.
        switch_on();
        st.asi_filter = 0;
        apply(s);
        std::set<int> can_show;
        for (uint32_t reading = 0; reading <= 4096; reading++) {
            st.asi_adc = uint16_t(reading);
            update_airspeed();
            can_show.insert(st.airspeed);
        }
        const int slowest = can_show.size() > 1 ? *std::next(can_show.begin()) : 0;
        const std::vector<int> values(can_show.begin(), can_show.end());
        // Without a filter exactly; with the factory's FAST filter, rising
        // through the speeds, at most one step below where only one reading
        // shows a speed (the filter settles one reading low).
        for (uint8_t filter : {0, 1}) {
            if (filter == 1 && s.zero_offset != 0)
                continue;
            switch_on();
            apply(s);
            st.asi_filter = filter;
            for (double ias = 0.0; ias <= 480.0; ias += 0.5) {
                const double target = ias / per_unit[s.unit];
                host_set_input(sensor_input::asi_adc, asi_input_for(ias));
                pass(filter == 0 ? 1 : 14);
                size_t nearest = 0;
                for (size_t i = 0; i < values.size(); i++)
                    if (std::fabs(values[i] - target) <= std::fabs(values[nearest] - target))
                        nearest = i;
                // Under the slowest airspeed shown the instrument shows 0, as
                // it would in the aircraft.
                const int expected = target < slowest ? 0 : values[nearest];
                if (filter == 0 || st.airspeed == expected)
                    ASSERT_EQ(st.airspeed, expected) << "ias " << ias << " km/h";
                else
                    ASSERT_EQ(st.airspeed, values[nearest - 1]) << "ias " << ias << " km/h, FAST filter";
            }
        }
    }
}

TEST(FlightMapping, InputsHeldAtTheirEnds)
{
    switch_on();
    const struct {
        double fpm;
        int32_t position;
    } vsi[] = {{-1e9, -6000}, {-6001, -6000}, {-6000, -6000}, {-123.5, -124}, {0, 0},
               {123.4, 123},  {6000, 6000},   {6001, 6000},   {1e9, 6000},    {NAN, 0}};
    for (const auto& v : vsi)
        EXPECT_EQ(vertical_speed_input_for(v.fpm), v.position) << v.fpm;
    // Airspeed: nothing logged or below zero is no pressure; above the limit
    // one past the first reading that shows the limit (250 mph: 21 p >= 250^2).
    EXPECT_EQ(asi_input_for(-1.0), 0);
    EXPECT_EQ(asi_input_for(NAN), 0);
    EXPECT_EQ(asi_input_for(0.0), 0);
    EXPECT_EQ(asi_input_for(1e6), 2978);
    EXPECT_EQ(asi_input_for(402.3), 2978);
    // A zero offset past the converter's end: nothing can show, the reading
    // stays at its top.
    st.asi_zero_offset = 4096;
    EXPECT_EQ(asi_input_for(200.0), 4096);
    st.asi_zero_offset = 1000;
    EXPECT_EQ(asi_input_for(0.0), 1000);
}

}  // namespace
