#include "replay/replay_host.h"

#include <cstring>

#include "core/state.h"
#include "scenario/escape.h"

namespace {

bool sensor_checked = true;
FILE* output = nullptr;

// The pass keeps the lamp it set; print and expect read it from there.
void set_lamp(void*, bool) {}

bool altitude_sensor_checked(void*)
{
    return sensor_checked;
}

// One line per sentence, escaped so that its carriage return and any other
// control byte stay visible and the output stays one line per sentence.
void append_communications(void*, const char* line)
{
    if (output == nullptr)
        return;
    char escaped[escaped_capacity(SERIAL_LINE_SIZE)];
    escape_bytes(line, strnlen(line, SERIAL_LINE_SIZE), escaped, sizeof escaped);
    fputs("serial ", output);
    fputs(escaped, output);
    fputc('\n', output);
}

// The LCD lives in lcd_buffer; png and dump read it from there.
void present(void*) {}

// The next command is the replay's event processing; it runs when the pass
// returns.
void process_events(void*) {}

}  // namespace

const host_io replay_io = {nullptr, set_lamp, altitude_sensor_checked, append_communications, present, process_events};

void replay_host_reset()
{
    sensor_checked = true;
    output = nullptr;
}

void replay_host_set_output(FILE* out)
{
    output = out;
}

void replay_set_sensor_checked(bool checked)
{
    sensor_checked = checked;
}

bool replay_sensor_checked()
{
    return sensor_checked;
}
