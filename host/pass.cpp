#include "host/pass.h"

#include "core/airspeed.h"
#include "core/encoder.h"
#include "core/flight_timer.h"
#include "core/state.h"
#include "gfx/lcd.h"
#include "host/pressure_altitude.h"
#include "screens/screens.h"

void host_switch_on()
{
    st.stop_requested = 0;
    load_default_settings();
    load_default_calibration();
    st.current_screen = screen_main;
    init_trig_tables();
    st.edit_step = 1;
    st.alarm_active = 0;
    st.alarm_ack = 0;
    st.pending_key = 0;
    st.flight_active = 0;
    st.landing_countdown = 0;
    st.flight_hours = 0;
    st.flight_minutes = 0;
    st.flight_seconds = 0;
}

namespace {
bool lamp_shown_red = false;
}

bool shown_lamp_red()
{
    return lamp_shown_red;
}

void forget_shown_lamp()
{
    lamp_shown_red = false;
}

bool alarm_lamp_red()
{
    return st.alarm_active != 0 && st.alarm_ack == 0;
}

void run_pass(const host_io& io)
{
    lamp_shown_red = alarm_lamp_red();
    io.set_lamp(lamp_shown_red);
    st.alt_sensor_ok = io.altitude_sensor_checked() ? 1 : 0;
    update_encoder_altitude();
    if (st.serial_out) {
        format_encoder_sentence();
        io.append_communications(st.serial_line);
    }
    update_airspeed();
    if (st.tick_counter == 1) {
        st.tick_counter = 0;
        flight_timer_step();
    }
    lcd_clear();
    if (st.current_screen)
        st.current_screen();
    io.present();
    io.process_events();
}

void host_post_key(uint8_t key)
{
    if (st.pending_key == 0)
        st.pending_key = key;
}

void host_timer_tick()
{
    uint8_t divider = st.blink_divider++;
    if (divider >= 10) {
        st.blink_divider = 0;
        st.blink_phase = st.blink_phase ? 0 : 1;
    }
    uint8_t ticks = st.tick_counter++;
    if (ticks >= 19)
        st.tick_counter = 0;
}

void host_set_altitude(int32_t position)
{
    st.altitude = position;
}

void host_set_vertical_speed(int32_t position)
{
    st.vertical_speed = int16_t(position);
    // 1 ft/min is 0.508 cm/s; round to the nearest hundredth of a metre per
    // second, halves away from zero, so the m/s readout follows the slider.
    int32_t scaled = position * 508;
    st.vertical_speed_cms = int16_t(scaled >= 0 ? (scaled + 500) / 1000 : (scaled - 500) / 1000);
}

void host_set_asi_adc(int32_t position)
{
    st.asi_adc = uint16_t(position);
}
