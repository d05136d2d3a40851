#include "scenario/fields.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "scenario/escape.h"
#include "host/pass.h"
#include "scenario/scenario_text.h"
#include "screens/screens.h"

namespace {

template <class T>
constexpr field_kind kind_of()
{
    if constexpr (std::is_same_v<T, uint8_t>)
        return field_kind::u8;
    else if constexpr (std::is_same_v<T, uint16_t>)
        return field_kind::u16;
    else if constexpr (std::is_same_v<T, uint32_t>)
        return field_kind::u32;
    else if constexpr (std::is_same_v<T, int16_t>)
        return field_kind::i16;
    else if constexpr (std::is_same_v<T, int32_t>)
        return field_kind::i32;
    else if constexpr (std::is_same_v<T, float>)
        return field_kind::f32;
    else if constexpr (std::is_same_v<T, char>)
        return field_kind::text;
    else if constexpr (std::is_same_v<T, screen_handler>)
        return field_kind::screen;
    else
        static_assert(sizeof(T) == 0, "a state field of a type print cannot show");
}

// One entry per field, its kind and element count taken from its declaration,
// so a change of a field's type cannot leave the table printing the wrong width.
template <class T>
constexpr field_entry entry(const char* name, T& member)
{
    if constexpr (std::is_array_v<T>) {
        using element = std::remove_extent_t<T>;
        return {name, kind_of<element>(), static_cast<void*>(&member), uint8_t(std::extent_v<T>)};
    } else {
        return {name, kind_of<T>(), static_cast<void*>(&member), 1};
    }
}

#define FIELD(name) entry(#name, st.name)

const field_entry fields[] = {
    // Settings.
    FIELD(backlight_level),
    FIELD(security_enabled),
    FIELD(security_code),
    FIELD(altitude_unit),
    FIELD(pressure_unit),
    FIELD(serial_out),
    FIELD(serial_protocol),
    FIELD(altitude_resolution),
    FIELD(qnh),
    FIELD(alt_on_top),
    FIELD(vsi_display),
    FIELD(vsi_unit),
    FIELD(vsi_scale),
    FIELD(asi_unit),
    FIELD(asi_filter),
    FIELD(speed_limits),
    FIELD(vne_alarm),
    FIELD(vs_alarm),
    FIELD(flight_timer_mode),
    FIELD(takeoff_airspeed),
    // Calibration.
    FIELD(altitude_cal_offset),
    FIELD(asi_cal_percent),
    FIELD(asi_zero_offset),
    FIELD(vsi_cal_percent),
    // Maximum values.
    FIELD(max_airspeed),
    // Sensor inputs.
    FIELD(altitude),
    FIELD(vertical_speed),
    FIELD(asi_adc),
    FIELD(alt_sensor_ok),
    // Sensor values nothing writes.
    FIELD(encoder_altitude),
    FIELD(encoder_c_altitude),
    FIELD(vertical_speed_cms),
    FIELD(alt_sensor_present),
    FIELD(sensor_temperature),
    FIELD(sensor_pressure),
    // Computed values.
    FIELD(asi_adc_sample),
    FIELD(asi_filter_state),
    FIELD(airspeed_mph),
    FIELD(airspeed),
    FIELD(alarm_active),
    FIELD(alarm_ack),
    FIELD(flight_active),
    FIELD(landing_countdown),
    FIELD(flight_tenths),
    FIELD(flight_seconds),
    FIELD(flight_minutes),
    FIELD(flight_hours),
    FIELD(serial_line),
    // Host timing and control.
    FIELD(blink_divider),
    FIELD(blink_phase),
    FIELD(tick_counter),
    FIELD(stop_requested),
    // User-interface state.
    FIELD(current_screen),
    FIELD(return_screen),
    FIELD(pending_key),
    FIELD(menu_cursor),
    FIELD(menu_scroll),
    FIELD(edit_mode),
    FIELD(edit_step),
    FIELD(main_page),
    FIELD(code_digits),
    FIELD(pending_code),
    FIELD(test_altitude),
    FIELD(text_start_x),
    FIELD(text_end_x),
    // The host's alarm lamp.
    {"lamp", field_kind::lamp, nullptr, 1},
};

#undef FIELD

#define SCREEN(name) {name, #name}

const screen_name_entry screens[] = {
    SCREEN(screen_main),
    SCREEN(screen_flight_start_stop),
    SCREEN(screen_unlock),
    SCREEN(screen_code_check),
    SCREEN(screen_code_new),
    SCREEN(screen_code_confirm),
    SCREEN(screen_code_result),
    SCREEN(screen_security_setup),
    SCREEN(screen_main_menu),
    SCREEN(screen_adc_values),
    SCREEN(screen_info),
    SCREEN(screen_alt_setup),
    SCREEN(screen_test_warning),
    SCREEN(screen_test_altitude),
    SCREEN(screen_vsi_setup),
    SCREEN(screen_asi_setup),
    SCREEN(screen_asi_zero_confirm),
    SCREEN(screen_timers_setup),
    SCREEN(screen_misc_setup),
    SCREEN(screen_backlight),
    SCREEN(screen_defaults_confirm),
    SCREEN(screen_message_done),
};

#undef SCREEN

// Formats one element; returns the characters written.
size_t format_element(field_kind kind, const void* address, uint8_t index, char* out, size_t cap)
{
    int n = 0;
    switch (kind) {
    case field_kind::u8:
        n = snprintf(out, cap, "%u", unsigned(static_cast<const uint8_t*>(address)[index]));
        break;
    case field_kind::u16:
        n = snprintf(out, cap, "%u", unsigned(static_cast<const uint16_t*>(address)[index]));
        break;
    case field_kind::u32:
        n = snprintf(out, cap, "%lu", static_cast<unsigned long>(static_cast<const uint32_t*>(address)[index]));
        break;
    case field_kind::i16:
        n = snprintf(out, cap, "%d", int(static_cast<const int16_t*>(address)[index]));
        break;
    case field_kind::i32:
        n = snprintf(out, cap, "%ld", static_cast<long>(static_cast<const int32_t*>(address)[index]));
        break;
    case field_kind::f32:
        n = snprintf(out, cap, "%g", double(static_cast<const float*>(address)[index]));
        break;
    default:
        break;
    }
    return n < 0 ? 0 : size_t(n) < cap ? size_t(n) : cap - 1;
}

}  // namespace

std::span<const field_entry> field_table()
{
    return fields;
}

const field_entry* find_field(std::string_view name)
{
    for (const field_entry& f : fields)
        if (name == f.name)
            return &f;
    return nullptr;
}

std::span<const screen_name_entry> screen_names()
{
    return screens;
}

const char* screen_name(screen_handler handler)
{
    if (handler == nullptr)
        return "none";
    for (const screen_name_entry& s : screens)
        if (s.handler == handler)
            return s.name;
    return "unknown";
}

void print_fields(std::string_view names, void (*emit)(const char* line, void* context), void* context)
{
    scenario_words line{names.data(), names.data() + names.size()};
    std::string_view word;
    static char value[FIELD_VALUE_CAPACITY];
    static char printed[FIELD_VALUE_CAPACITY + 64];
    while (line.next(word)) {
        const field_entry* field = find_field(word);
        format_field(*field, value);
        snprintf(printed, sizeof printed, "%s=%s", field->name, value);
        emit(printed, context);
    }
}

size_t format_field(const field_entry& field, char* out)
{
    const size_t cap = FIELD_VALUE_CAPACITY;
    switch (field.kind) {
    case field_kind::text: {
        const char* text = static_cast<const char*>(field.address);
        return escape_bytes(text, strnlen(text, field.count), out, cap);
    }
    case field_kind::screen: {
        const char* name = screen_name(*static_cast<const screen_handler*>(field.address));
        return size_t(snprintf(out, cap, "%s", name));
    }
    case field_kind::lamp:
        return size_t(snprintf(out, cap, "%s", shown_lamp_red() ? "red" : "maroon"));
    default: {
        size_t n = 0;
        for (uint8_t i = 0; i < field.count; i++) {
            if (i > 0 && n + 1 < cap)
                out[n++] = ',';
            n += format_element(field.kind, field.address, i, out + n, cap - n);
        }
        out[n] = '\0';
        return n;
    }
    }
}
