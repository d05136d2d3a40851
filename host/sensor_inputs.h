// The instrument's three sensor inputs as every host offers them (the
// window's sliders, the scenario language, the page, flights): their names,
// ranges and how a position reaches the state record.
#pragma once
#include <cstdint>
#include <span>

enum class sensor_input : uint8_t { altitude, vertical_speed, asi_adc };

struct sensor_input_info {
    sensor_input input;
    const char* word;     // the scenario command: "altitude", "vsi", "asi"
    const char* caption;  // the window's caption: "Altitude:", "VSI:", "ASI:"
    const char* unit;     // what a position means
    int32_t minimum;
    int32_t maximum;
    int32_t page_step;    // a slider's page
};

// altitude, vertical_speed, asi_adc, in that order.
std::span<const sensor_input_info> sensor_inputs();
const sensor_input_info& sensor_input_of(sensor_input input);

// A position held inside the input's range.
int32_t clamp_sensor_input(sensor_input input, int64_t position);

// Writes a position (already in range) to the state record.
void host_set_input(sensor_input input, int32_t position);
void host_set_altitude(int32_t position);        // 0..65535, the altitude shown
void host_set_vertical_speed(int32_t position);  // -6000..6000 ft/min
void host_set_asi_adc(int32_t position);         // 0..4096, the converter's reading
