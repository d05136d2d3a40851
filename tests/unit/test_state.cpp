// Factory defaults, the resets and the option-name tables.
#include <type_traits>

#include "screen_harness.h"

namespace {

using screen_test::fields_are;

TEST(State, FactorySettings)
{
    memset(&st, 0, sizeof st);
    st.max_airspeed = 77;
    load_default_settings();
    EXPECT_GE(st.security_code, 1000);  // a four-digit code
    EXPECT_LE(st.security_code, 9999);
    const uint16_t* v = st.speed_limits;
    EXPECT_TRUE(fields_are({{"backlight_level", st.backlight_level, 100}, {"security_enabled", st.security_enabled, 0},
                            {"qnh", long(st.qnh), 1013250}, {"asi_filter", st.asi_filter, 1},
                            {"serial_out", st.serial_out, 0}, {"Vne", v[VNE], 220}, {"Vno", v[VNO], 180},
                            {"Vfe", v[VFE], 50}, {"Vs1", v[VS1], 30}, {"Vs0", v[VS0], 20},
                            {"vne_alarm", st.vne_alarm, 1}, {"vs_alarm", st.vs_alarm, 1},
                            {"vsi_display", st.vsi_display, 1}, {"flight_timer_mode", st.flight_timer_mode, 0},
                            {"takeoff_airspeed", st.takeoff_airspeed, 30}, {"max_airspeed", st.max_airspeed, 0}}));
}

TEST(State, DefaultSettingsKeepTheCalibration)
{
    load_default_calibration();
    EXPECT_EQ(st.asi_cal_percent, 100);
    EXPECT_EQ(st.vsi_cal_percent, 100);
    // Calibration, a maximum and a setting, all away from the factory values.
    st.asi_zero_offset = 321, st.asi_cal_percent = 140, st.vsi_cal_percent = 60, st.altitude_cal_offset = -90;
    st.max_airspeed = 180, st.backlight_level = 30;
    load_default_settings();
    EXPECT_TRUE(fields_are({{"asi_zero_offset", st.asi_zero_offset, 321}, {"asi_cal_percent", st.asi_cal_percent, 140},
                            {"vsi_cal_percent", st.vsi_cal_percent, 60},
                            {"altitude_cal_offset", st.altitude_cal_offset, -90},
                            {"max_airspeed", st.max_airspeed, 0}, {"backlight_level", st.backlight_level, 100}}));
    load_default_calibration();
    EXPECT_TRUE(
        fields_are({{"asi_zero_offset", st.asi_zero_offset, 0}, {"altitude_cal_offset", st.altitude_cal_offset, 0}}));
}

TEST(State, OptionTablesAreFixedWidthSlots)
{
    // Screens address entry v as the table start plus v times the slot width.
    struct { const char* table; size_t slot, count, bytes; const char* names[6]; } tables[] = {
        {off_on_names[0], 4, 2, sizeof off_on_names, {"OFF", "ON"}},
        {altitude_unit_names[0], 3, 2, sizeof altitude_unit_names, {"ft", "m"}},
        {pressure_unit_names[0], 7, 2, sizeof pressure_unit_names, {"mb", "\"Hg"}},
        {resolution_names_ft[0], 6, 5, sizeof resolution_names_ft, {"1ft", "10ft", "25ft", "50ft", "100ft"}},
        {resolution_names_m[0], 6, 5, sizeof resolution_names_m, {"1m", "10m", "25m", "50m", "100m"}},
        {protocol_names[0], 17, 6, sizeof protocol_names,
         {"GARMIN AT", "MAGELLAN", "NORTHSTAR", "TRIMBLE", "QTX", "MICROAIR"}},
        {timer_mode_names[0], 9, 2, sizeof timer_mode_names, {"MANUAL", "DETECT"}},
        {vsi_unit_names[0], 7, 2, sizeof vsi_unit_names, {"ft/min", "m/s"}},
        {vsi_scale_names_ft[0], 11, 3, sizeof vsi_scale_names_ft, {"1000ft/min", "2000ft/min", "4000ft/min"}},
        {vsi_scale_names_ms[0], 6, 3, sizeof vsi_scale_names_ms, {"5m/s", "10m/s", "20m/s"}},
        {asi_unit_names[0], 5, 3, sizeof asi_unit_names, {"mph", "km/h", "kts"}},
        {asi_filter_names[0], 5, 3, sizeof asi_filter_names, {"NONE", "FAST", "SLOW"}},
    };
    for (auto& t : tables) {
        EXPECT_EQ(t.bytes, t.slot * t.count) << t.names[0];
        for (size_t v = 0; v < t.count; v++)
            EXPECT_STREQ(t.table + v * t.slot, t.names[v]);
    }
    const uint16_t steps[5] = {1, 10, 25, 50, 100};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(RESOLUTION_STEPS[i], steps[i]);
}

TEST(State, FieldWidthsAndSignedness)
{
    EXPECT_EQ(sizeof st.qnh, 4u);
    EXPECT_EQ(sizeof st.altitude_cal_offset, 2u);
    EXPECT_TRUE(std::is_signed_v<decltype(st.altitude_cal_offset)>);
    EXPECT_TRUE(std::is_signed_v<decltype(st.vertical_speed)>);
    EXPECT_TRUE(std::is_signed_v<decltype(st.test_altitude)>);
    EXPECT_FALSE(std::is_signed_v<decltype(st.asi_adc)>);
    EXPECT_EQ(sizeof st.speed_limits, 10u);
    EXPECT_EQ(sizeof st.serial_line, 50u);
    EXPECT_EQ(sizeof st.alarm_active, 4u);
    EXPECT_EQ(sizeof st.edit_step, 2u);
}

}  // namespace
