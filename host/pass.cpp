#include "host/pass.h"

#include <cstring>

#include "core/airspeed.h"
#include "core/encoder.h"
#include "core/flight_timer.h"
#include "core/state.h"
#include "gfx/lcd.h"
#include "host/pressure_altitude.h"
#include "screens/screens.h"

namespace {

pass_outputs shown = {false, {}, 0};

}  // namespace

pass_outputs& current_pass_outputs()
{
    return shown;
}

const host_io HEADLESS_HOST = {
    nullptr, [](void*, bool) {}, [](void*) { return true; }, [](void*, const char*) {}, [](void*) {}, [](void*) {},
};

void host_program_start()
{
    st = instrument_state{};
    lcd_clear();
    st.current_screen = screen_main;
    shown = pass_outputs{false, {}, 0};
}

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
    clear_flight_time();
    shown.sentence[0] = '\0';
}

void host_switch_off()
{
    st.stop_requested = 1;
}

bool shown_lamp_red()
{
    return shown.lamp_red;
}

bool alarm_lamp_red()
{
    return st.alarm_active != 0 && st.alarm_ack == 0;
}

const char* newest_sentence()
{
    return shown.sentence;
}

uint32_t sentences_sent()
{
    return shown.sentences;
}

void run_pass(const host_io& io)
{
    shown.lamp_red = alarm_lamp_red();
    io.set_lamp(io.context, shown.lamp_red);
    st.alt_sensor_ok = io.altitude_sensor_checked(io.context) ? 1 : 0;
    update_encoder_altitude();
    if (st.serial_out) {
        format_encoder_sentence();
        memcpy(shown.sentence, st.serial_line, sizeof shown.sentence);
        shown.sentence[sizeof shown.sentence - 1] = '\0';
        shown.sentences++;
        io.append_communications(io.context, st.serial_line);
    }
    update_airspeed();
    if (st.tick_counter == 1) {
        st.tick_counter = 0;
        flight_timer_step();
    }
    lcd_clear();
    if (st.current_screen)
        st.current_screen();
    io.present(io.context);
    io.process_events(io.context);
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
