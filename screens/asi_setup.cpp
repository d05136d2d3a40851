// ASI SETUP: sensor zeroing, unit, filter, the five speed limits, the alarm
// switches, calibration and the airspeed field's position; and the ZERO ASI
// SENSOR? confirmation.
#include "screens/asi_setup.h"

#include <cstdio>

#include "core/state.h"
#include "gfx/text.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

constexpr uint8_t OPTION_LAST = 2;  // last value of the unit and the filter

struct asi_row {
    uint8_t type;
    const char* label;
};

// Rows in page order.
const asi_row asi_rows[ASI_SETUP_ROWS] = {
    {ASI_ROW_ZERO_SENSOR, "ZERO ASI SENSOR"},
    {ASI_ROW_UNIT, "ASI UNIT: "},
    {ASI_ROW_FILTER, "ASI FILTER: "},
    {ASI_ROW_VNE, "Vne SPEED: "},
    {ASI_ROW_VNO, "Vno SPEED: "},
    {ASI_ROW_VFE, "Vfe SPEED: "},
    {ASI_ROW_VS1, "Vs1 SPEED: "},
    {ASI_ROW_VS0, "Vs0 SPEED: "},
    {ASI_ROW_VS_ALARM, "Vs ALARM: "},
    {ASI_ROW_VNE_ALARM, "Vne ALARM: "},
    {ASI_ROW_CAL, "CAL: "},
    {ASI_ROW_POSITION, "POSITION: "},
};

constexpr uint8_t ASI_SETUP_ZERO_ROW = 0;

bool is_speed_limit(uint8_t type)
{
    return type >= ASI_ROW_VNE && type <= ASI_ROW_VS0;
}

const char* unit_name()
{
    return asi_unit_names[st.asi_unit <= OPTION_LAST ? st.asi_unit : 0];
}

void format_value(uint8_t type, char* value, size_t size)
{
    value[0] = 0;
    switch (type) {
    case ASI_ROW_UNIT:
        snprintf(value, size, "%s", unit_name());
        break;
    case ASI_ROW_FILTER:
        snprintf(value, size, "%s", asi_filter_names[st.asi_filter <= OPTION_LAST ? st.asi_filter : 0]);
        break;
    case ASI_ROW_VS_ALARM:
        snprintf(value, size, "%s", off_on_names[st.vs_alarm ? 1 : 0]);
        break;
    case ASI_ROW_VNE_ALARM:
        snprintf(value, size, "%s", off_on_names[st.vne_alarm ? 1 : 0]);
        break;
    case ASI_ROW_CAL:
        snprintf(value, size, "%d%% %umph", int(st.asi_cal_percent), unsigned(st.airspeed_mph));
        break;
    case ASI_ROW_POSITION:
        // Seen from the airspeed field: altitude below means airspeed on top.
        snprintf(value, size, "%s", st.alt_on_top ? "BOTTOM" : "TOP");
        break;
    default:
        if (is_speed_limit(type))
            snprintf(value, size, "%u%s", unsigned(st.speed_limits[type - ASI_ROW_VNE]), unit_name());
        break;
    }
}

// Steps one speed limit between its slower and faster neighbours (10 and 500
// at the ends). Passing the upper bound lands on the lower one and the other
// way round; worked in 32 bits so a large step cannot wrap around zero.
void step_speed_limit(int index, bool up)
{
    uint16_t* limits = st.speed_limits;
    const int32_t lower = index == VS0 ? SPEED_LIMIT_MIN : limits[index + 1];
    const int32_t upper = index == VNE ? SPEED_LIMIT_MAX : limits[index - 1];
    const int32_t step = st.edit_step;
    const int32_t v = limits[index];
    if (up)
        limits[index] = uint16_t(v + step > upper ? lower : v + step);
    else
        limits[index] = uint16_t(v - step < lower ? upper : v - step);
}

void step_value(uint8_t type, bool up)
{
    switch (type) {
    case ASI_ROW_UNIT: st.asi_unit = cycled(st.asi_unit, OPTION_LAST, up); break;
    case ASI_ROW_FILTER: st.asi_filter = cycled(st.asi_filter, OPTION_LAST, up); break;
    case ASI_ROW_VS_ALARM: st.vs_alarm = toggled(st.vs_alarm); break;
    case ASI_ROW_VNE_ALARM: st.vne_alarm = toggled(st.vne_alarm); break;
    case ASI_ROW_CAL: st.asi_cal_percent = cal_percent_stepped(st.asi_cal_percent, up); break;
    case ASI_ROW_POSITION: st.alt_on_top = toggled(st.alt_on_top); break;
    default:
        if (is_speed_limit(type))
            step_speed_limit(type - ASI_ROW_VNE, up);
        break;
    }
}

}  // namespace

void asi_setup_row_action(uint8_t type, uint8_t row)
{
    if (st.pending_key == KEY_NONE || row != st.menu_cursor)
        return;
    switch (st.pending_key) {
    case KEY_PUSH:
        if (type == ASI_ROW_ZERO_SENSOR) {
            show_screen(screen_asi_zero_confirm, FIRST_ROW);
            st.pending_key = KEY_NONE;
        } else {
            st.edit_mode = toggled(st.edit_mode);
        }
        break;
    case KEY_CW:
    case KEY_CCW:
        if (st.edit_mode)
            step_value(type, st.pending_key == KEY_CW);
        break;
    default:
        break;
    }
}

void screen_asi_setup()
{
    char value[32];
    draw_title_bar("ASI SETUP", "");
    scroll_to_cursor();

    // Each row acts on the pending key right after it is drawn, so the rows
    // below a changed one already show the new value in this pass.
    for (uint8_t r = 0; r < ASI_SETUP_ROWS; r++) {
        const asi_row& row = asi_rows[r];
        const int8_t line = int8_t(int(r) - int(st.menu_scroll));
        if (row.type == ASI_ROW_ZERO_SENSOR) {
            draw_menu_row(line, row.label, selection_colour(st.menu_cursor == r));
        } else {
            format_value(row.type, value, sizeof value);
            draw_setting_row(line, row.label, value);
            if (is_speed_limit(row.type))
                draw_step_label(r);
        }
        asi_setup_row_action(row.type, r);
    }
    draw_scroll_bar(st.menu_cursor, ASI_SETUP_ROWS);
    draw_footer(FOOTER_BACK);

    // The push, and the knob in edit mode, were the selected row's.
    switch (const uint8_t key = take_key()) {
    case KEY_LEFT: leave_setup_page(MAIN_MENU_ASI_SETUP); break;
    case KEY_RIGHT: cycle_edit_step(STEP_UP_TO_100); break;
    case KEY_CW:
    case KEY_CCW: turn_setting_list(key == KEY_CW, ASI_SETUP_ROWS, nullptr); break;
    default: break;
    }
}

// YES on the zeroing question: the latest sensor reading becomes the zero.
static void capture_zero_offset()
{
    st.asi_zero_offset = st.asi_adc_sample;
    settings_changed_hook();
}

void screen_asi_zero_confirm()
{
    static const question zero_sensor = {
        {"ZERO", "ASI", "SENSOR?"}, screen_asi_setup, ASI_SETUP_ZERO_ROW, capture_zero_offset};
    question_page(zero_sensor);
}
