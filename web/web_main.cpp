// The instrument in a web page: the session every host runs, with plain C
// entry points that the page's script calls. The page's display keeps what
// the passes hand it (the lamp, the encoder sentences) until the page takes
// it.
#include "web/web_main.h"

#include <array>
#include <deque>
#include <string>

#include "host/palette.h"
#include "host/sensor_inputs.h"
#include "scenario/fields.h"
#include "scenario/lcd_text.h"
#include "scenario/scenario_parse.h"
#include "session/session.h"

namespace {

// The Communications box keeps this many lines: more waiting would never
// be shown.
constexpr size_t SENTENCES_WAITING_MAX = 10000;
constexpr unsigned char FIRST_PRINTABLE = 0x20, LAST_PRINTABLE = 0x7E;

// The native benchmark's flight: every field of the main display busy.
constexpr int32_t BENCH_ASI_ADC = 1400;
constexpr int32_t BENCH_ALTITUDE = 3500;
constexpr int32_t BENCH_VERTICAL_SPEED = 600;

using sentence_line = std::array<char, SERIAL_LINE_SIZE>;

class page_display_kept final : public session_display {
public:
    void show_lamp(bool red) override { lamp_red = red; }

    // One line of the Communications box per sentence. The terminator and
    // any other control byte have no picture; the page shows the rest.
    void show_sentence(const char* line) override
    {
        if (waiting.size() == SENTENCES_WAITING_MAX)
            waiting.pop_front();
        sentence_line& kept = waiting.emplace_back();
        size_t n = 0;
        for (size_t i = 0; i < SERIAL_LINE_SIZE - 1 && line[i] != '\0'; i++) {
            const unsigned char c = static_cast<unsigned char>(line[i]);
            if (c >= FIRST_PRINTABLE && c <= LAST_PRINTABLE)
                kept[n++] = char(c);
        }
        kept[n] = '\0';
    }

    bool lamp_red = false;
    std::deque<sentence_line> waiting;
};

page_display_kept shown;

sensor_input input_of(int which)
{
    return sensor_inputs()[size_t(which) % sensor_inputs().size()].input;
}

}  // namespace

instrument_session& page_session()
{
    static instrument_session session;
    return session;
}

session_display& page_display()
{
    return shown;
}

extern "C" {

void web_create()
{
    page_session().program_start();
    shown.lamp_red = false;
    shown.waiting.clear();
}

void web_switch_on()
{
    page_session().switch_on();
}

void web_switch_off()
{
    page_session().switch_off();
}

int web_running()
{
    return page_session().running() ? 1 : 0;
}

int web_pass()
{
    return page_session().pass(shown) ? 1 : 0;
}

void web_clock_tick()
{
    page_session().clock_tick(shown);
}

void web_post_key(int key)
{
    if (key > 0 && key <= UINT8_MAX && scenario_key_word(uint8_t(key)) != nullptr)
        page_session().post_key(uint8_t(key));
}

int web_key_pending()
{
    return page_session().key_pending() ? 1 : 0;
}

int web_input_minimum(int which)
{
    return sensor_input_of(input_of(which)).minimum;
}

int web_input_maximum(int which)
{
    return sensor_input_of(input_of(which)).maximum;
}

void web_set_input(int which, int position)
{
    page_session().set_input(input_of(which), position);
}

int web_input(int which)
{
    return page_session().input(input_of(which));
}

void web_set_sensor_checked(int checked)
{
    page_session().set_sensor_checked(checked != 0);
}

int web_sensor_checked()
{
    return page_session().sensor_checked() ? 1 : 0;
}

const uint8_t* web_lcd_buffer()
{
    return page_session().frame();
}

const uint32_t* web_palette()
{
    return lcd_palette;
}

int web_lamp_red()
{
    return shown.lamp_red ? 1 : 0;
}

int web_sentences_waiting()
{
    return int(shown.waiting.size());
}

const char* web_sentence(int i)
{
    return i >= 0 && size_t(i) < shown.waiting.size() ? shown.waiting[size_t(i)].data() : "";
}

void web_sentences_taken()
{
    shown.waiting.clear();
}

double web_passes()
{
    return double(page_session().passes());
}

double web_ticks()
{
    return double(page_session().ticks());
}

const char* web_screen_name()
{
    static char name[FIELD_VALUE_CAPACITY];
    page_session().activate();
    format_field(*find_field("current_screen"), name);
    return name;
}

const char* web_lcd_words()
{
    static std::string words;
    words.clear();
    for (const drawn_text* t : texts_in_reading_order(page_session().texts())) {
        const std::string_view word = trimmed_text(t->text);
        if (!word.empty())
            words.append(words.empty() ? "" : " ").append(word);
    }
    return words.c_str();
}

void web_bench_setup()
{
    instrument_session& session = page_session();
    session.switch_on();
    session.set_input(sensor_input::asi_adc, BENCH_ASI_ADC);
    session.set_input(sensor_input::altitude, BENCH_ALTITUDE);
    session.set_input(sensor_input::vertical_speed, BENCH_VERTICAL_SPEED);
    session.set_sensor_checked(true);
    // Serial output on, as the encoder setup's switch leaves it.
    session.activate();
    *static_cast<uint8_t*>(find_field("serial_out")->address) = 1;
}

void web_bench_passes(int count)
{
    for (int i = 0; i < count; i++)
        web_pass();
}

}  // extern "C"
