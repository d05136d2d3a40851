// The instrument in a web page: the same instrument and run-loop pass as the
// window and the replay tool, with plain C entry points that the page's
// script calls. The page owns the clock, the controls and the canvas; this
// side only holds what the pass hands to its host (lamp, check box, the
// newest encoder sentence).
#include "web/web_main.h"

#include <cstring>

#include "core/state.h"
#include "gfx/lcd.h"
#include "host/palette.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "scenario/fields.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

struct web_host_state {
    bool running;                     // between "On" and "Off"
    bool sensor_checked;              // the "Altitude Sensor" check box
    char sentence[SERIAL_LINE_SIZE];  // the newest sentence, control bytes dropped
    uint32_t passes;                  // passes run since the page opened
};

web_host_state web = {false, true, {}, 0};

// The pass keeps the lamp and the newest sentence; the page reads them
// after it (web_lamp_red, web_sentence).
void set_lamp(void*, bool) {}
void append_communications(void*, const char*) {}

bool altitude_sensor_checked(void*)
{
    return web.sensor_checked;
}

// The page draws lcd_buffer after the pass returns, and handles its events
// between animation frames.
void present(void*) {}
void process_events(void*) {}

// The native benchmark's flight: every field of the main display busy.
constexpr int32_t BENCH_ASI_ADC = 1400;
constexpr int32_t BENCH_ALTITUDE = 3500;
constexpr int32_t BENCH_VERTICAL_SPEED = 600;

const host_io web_io = {nullptr, set_lamp, altitude_sensor_checked, append_communications, present, process_events};

}  // namespace

extern "C" {

void web_create()
{
    host_program_start();
}

void web_switch_on()
{
    host_switch_on();
    web.running = true;
}

void web_switch_off()
{
    host_switch_off();
    web.running = false;
}

int web_running()
{
    return web.running && st.stop_requested == 0 ? 1 : 0;
}

int web_pass()
{
    if (!web_running())
        return 0;
    run_pass(web_io);
    web.passes++;
    return 1;
}

void web_timer_tick()
{
    host_timer_tick();
}

void web_post_key(int key)
{
    if (key >= KEY_LEFT && key <= KEY_CCW)
        host_post_key(uint8_t(key));
}

int web_key_pending()
{
    return st.pending_key != 0 ? 1 : 0;
}

int web_input_minimum(int which)
{
    return sensor_inputs()[size_t(which) % sensor_inputs().size()].minimum;
}

int web_input_maximum(int which)
{
    return sensor_inputs()[size_t(which) % sensor_inputs().size()].maximum;
}

void web_set_altitude(int position)
{
    host_set_altitude(position);
}

void web_set_vertical_speed(int position)
{
    host_set_vertical_speed(position);
}

void web_set_asi_adc(int position)
{
    host_set_asi_adc(position);
}

void web_set_sensor_checked(int checked)
{
    web.sensor_checked = checked != 0;
}

const uint8_t* web_lcd_buffer()
{
    return lcd_buffer;
}

const uint32_t* web_palette()
{
    return lcd_palette;
}

int web_lamp_red()
{
    return shown_lamp_red() ? 1 : 0;
}

uint32_t web_sentence_count()
{
    return sentences_sent();
}

// One line of the Communications box per sentence. The terminator and any
// other control byte have no picture; the page shows the printable rest.
const char* web_sentence()
{
    const char* line = newest_sentence();
    size_t n = 0;
    for (size_t i = 0; i < SERIAL_LINE_SIZE - 1 && line[i] != '\0'; i++) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c >= 0x20 && c < 0x7F)
            web.sentence[n++] = char(c);
    }
    web.sentence[n] = '\0';
    return web.sentence;
}

uint32_t web_passes()
{
    return web.passes;
}

const char* web_screen_name()
{
    return screen_name(st.current_screen);
}

void web_bench_setup()
{
    web_switch_on();
    host_set_asi_adc(BENCH_ASI_ADC);
    host_set_altitude(BENCH_ALTITUDE);
    host_set_vertical_speed(BENCH_VERTICAL_SPEED);
    web.sensor_checked = true;
    st.serial_out = 1;
}

void web_bench_passes(int count)
{
    for (int i = 0; i < count; i++)
        web_pass();
}

}  // extern "C"

const host_io& web_host_io()
{
    return web_io;
}

void web_count_pass()
{
    web.passes++;
}
