// The ASI SETUP page's row actions: each row's value keys and push are
// handled by asi_setup_row_action, told which row it serves by its type.
#pragma once
#include <cstdint>

enum : uint8_t {
    ASI_ROW_ZERO_SENSOR = 1, ASI_ROW_UNIT = 3, ASI_ROW_FILTER = 4,
    ASI_ROW_VNE = 7, ASI_ROW_VNO = 8, ASI_ROW_VFE = 9, ASI_ROW_VS1 = 10, ASI_ROW_VS0 = 11,
    ASI_ROW_VS_ALARM = 12, ASI_ROW_VNE_ALARM = 13, ASI_ROW_CAL = 14, ASI_ROW_POSITION = 15,
};

constexpr uint8_t ASI_SETUP_ROWS = 12;
constexpr uint16_t SPEED_LIMIT_MIN = 10;
constexpr uint16_t SPEED_LIMIT_MAX = 500;

// Acts on the pending key for the row of the given type when row is the
// selected row; does nothing otherwise or when no key is pending.
void asi_setup_row_action(uint8_t type, uint8_t row);
