#include "core/state.h"

instrument_state st;

const uint16_t RESOLUTION_STEPS[5] = {1, 10, 25, 50, 100};

const char off_on_names[2][4] = {"OFF", "ON"};
const char altitude_unit_names[2][3] = {"ft", "m"};
const char pressure_unit_names[2][7] = {"mb", "\"Hg"};
const char resolution_names_ft[5][6] = {"1ft", "10ft", "25ft", "50ft", "100ft"};
const char resolution_names_m[5][6] = {"1m", "10m", "25m", "50m", "100m"};
const char protocol_names[6][17] = {"GARMIN AT", "MAGELLAN", "NORTHSTAR", "TRIMBLE", "QTX", "MICROAIR"};
const char timer_mode_names[2][9] = {"MANUAL", "DETECT"};
const char vsi_unit_names[2][7] = {"ft/min", "m/s"};
const char vsi_scale_names_ft[3][11] = {"1000ft/min", "2000ft/min", "4000ft/min"};
const char vsi_scale_names_ms[3][6] = {"5m/s", "10m/s", "20m/s"};
const char asi_unit_names[3][5] = {"mph", "km/h", "kts"};
const char asi_filter_names[3][5] = {"NONE", "FAST", "SLOW"};

void menu_closed_hook() {}
void settings_changed_hook() {}
void max_values_changed_hook() {}

void reset_max_values()
{
    st.max_airspeed = 0;
    max_values_changed_hook();
}

void load_default_settings()
{
    st.backlight_level = 100;
    st.security_enabled = 0;
    st.security_code = FACTORY_SECURITY_CODE;
    st.altitude_unit = 0;
    st.pressure_unit = 0;
    st.serial_out = 0;
    st.serial_protocol = 0;
    st.altitude_resolution = 0;
    st.qnh = 1013250;
    st.alt_on_top = 0;
    st.asi_unit = 0;
    st.asi_filter = 1;
    st.speed_limits[VNE] = 220;
    st.speed_limits[VNO] = 180;
    st.speed_limits[VFE] = 50;
    st.speed_limits[VS1] = 30;
    st.speed_limits[VS0] = 20;
    st.vne_alarm = 1;
    st.vs_alarm = 1;
    st.vsi_display = 1;
    st.vsi_unit = 0;
    st.vsi_scale = 0;
    st.flight_timer_mode = 0;
    st.takeoff_airspeed = 30;
    reset_max_values();
    menu_closed_hook();
}

void load_default_calibration()
{
    st.altitude_cal_offset = 0;
    st.vsi_cal_percent = 100;
    st.asi_cal_percent = 100;
    st.asi_zero_offset = 0;
}
