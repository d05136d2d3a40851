// The names that "print" knows: every field of the state record, the screen
// handlers by name, and the alarm lamp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/state.h"

enum class field_kind : uint8_t { u8, u16, u32, i16, i32, f32, text, screen, lamp };

struct field_entry {
    const char* name;
    field_kind kind;
    void* address;   // into st; unused for the lamp
    uint8_t count;   // array elements (1 for scalars; the size for text)
};

struct screen_name_entry {
    screen_handler handler;
    const char* name;
};

// Every printable name, in the order of the state record, then the lamp.
std::span<const field_entry> field_table();
const field_entry* find_field(std::string_view name);

// Every screen handler and its name.
std::span<const screen_name_entry> screen_names();
// The handler's name, "none" for no handler, "unknown" for anything else.
const char* screen_name(screen_handler handler);

// Room for the longest value: the escaped serial line.
constexpr size_t FIELD_VALUE_CAPACITY = 4 * SERIAL_LINE_SIZE + 64;

// The lines "NAME=VALUE" that print shows for names (blank-separated, every
// one known), handed one at a time to emit.
void print_fields(std::string_view names, void (*emit)(const char* line, void* context), void* context);

// Writes the field's current value as print shows it (without "NAME=") into
// out, which holds at least FIELD_VALUE_CAPACITY bytes. Returns the length.
size_t format_field(const field_entry& field, char* out);
