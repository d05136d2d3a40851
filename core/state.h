// The instrument's one state record: settings, calibration, maximum values,
// sensor inputs, computed values, host timing and user-interface state.
// Every field is zero at program start; the reset operations load defaults.
#pragma once
#include <cstdint>

typedef void (*screen_handler)(void);

constexpr int SERIAL_LINE_SIZE = 50;
constexpr uint16_t FACTORY_SECURITY_CODE = 1357;
constexpr uint16_t MASTER_CODE = 9042;
constexpr uint16_t FIRMWARE_VERSION = 100;

// The airspeed channel's one bit in alarm_active and alarm_ack: overspeed and
// stall raise the same one.
constexpr uint32_t ALARM_BIT = 1u;

// Indices into speed_limits.
constexpr int VNE = 0, VNO = 1, VFE = 2, VS1 = 3, VS0 = 4;

struct instrument_state {
    // Settings (load_default_settings).
    uint8_t backlight_level;
    uint8_t security_enabled;
    uint16_t security_code;
    uint8_t altitude_unit;
    uint8_t pressure_unit;
    uint8_t serial_out;
    uint8_t serial_protocol;
    uint8_t altitude_resolution;
    uint32_t qnh;
    uint8_t alt_on_top;
    uint8_t vsi_display;
    uint8_t vsi_unit;
    uint8_t vsi_scale;
    uint8_t asi_unit;
    uint8_t asi_filter;
    uint16_t speed_limits[5];
    uint8_t vne_alarm;
    uint8_t vs_alarm;
    uint8_t flight_timer_mode;
    uint16_t takeoff_airspeed;

    // Calibration (load_default_calibration).
    int16_t altitude_cal_offset;
    uint8_t asi_cal_percent;
    uint16_t asi_zero_offset;
    uint8_t vsi_cal_percent;

    // Maximum values (reset_max_values).
    uint16_t max_airspeed;

    // Sensor inputs, written by the host.
    int32_t altitude;
    int16_t vertical_speed;
    uint16_t asi_adc;
    uint8_t alt_sensor_ok;

    // Sensor values that nothing writes on this hardware build (stay 0),
    // except vertical_speed_cms, which the host derives from the VSI input.
    int32_t encoder_altitude;
    int32_t encoder_c_altitude;
    int16_t vertical_speed_cms;
    uint8_t alt_sensor_present;
    float sensor_temperature;
    float sensor_pressure;

    // Computed values.
    uint16_t asi_adc_sample;
    uint32_t asi_filter_state;
    uint16_t airspeed_mph;
    uint16_t airspeed;
    uint32_t alarm_active;  // ALARM_BIT while the airspeed is out of its limits
    uint32_t alarm_ack;
    uint8_t flight_active;
    uint8_t landing_countdown;
    uint8_t flight_tenths;  // steps of the 100 ms time base into the current second, 0..9
    uint8_t flight_seconds;
    uint8_t flight_minutes;
    uint8_t flight_hours;
    char serial_line[SERIAL_LINE_SIZE];

    // Host timing and control.
    uint8_t blink_divider;
    uint8_t blink_phase;
    uint8_t tick_counter;
    uint8_t stop_requested;

    // User-interface state.
    screen_handler current_screen;
    screen_handler return_screen;
    uint8_t pending_key;
    uint8_t menu_cursor;
    uint8_t menu_scroll;
    uint8_t edit_mode;
    uint16_t edit_step;
    uint8_t main_page;
    uint8_t code_digits[4];
    uint16_t pending_code;
    int32_t test_altitude;
    uint16_t text_start_x;
    uint16_t text_end_x;
};

extern instrument_state st;

void load_default_settings();
void load_default_calibration();
void reset_max_values();

// Empty hooks: called at the moments settings, calibration or the maximum
// airspeed have just changed.
void menu_closed_hook();
void settings_changed_hook();
void max_values_changed_hook();

// Encoder rounding step selected by altitude_resolution, in feet.
extern const uint16_t RESOLUTION_STEPS[5];

// Option names: entry v names value v; each table is fixed-width slots.
extern const char off_on_names[2][4];
extern const char altitude_unit_names[2][3];
extern const char pressure_unit_names[2][7];
extern const char resolution_names_ft[5][6];
extern const char resolution_names_m[5][6];
extern const char protocol_names[6][17];
extern const char timer_mode_names[2][9];
extern const char vsi_unit_names[2][7];
extern const char vsi_scale_names_ft[3][11];
extern const char vsi_scale_names_ms[3][6];
extern const char asi_unit_names[3][5];
extern const char asi_filter_names[3][5];
