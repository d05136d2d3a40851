// VSI SETUP: the vertical speed tape on or off, its unit, its full scale and
// its calibration percentage.
#include <cstdio>

#include "core/state.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

enum : uint8_t {
    ROW_DISPLAY = 0,
    ROW_UNIT = 1,
    ROW_SCALE = 2,
    ROW_CAL = 3,
};

constexpr uint8_t ROW_COUNT = 4;
constexpr uint8_t SCALE_LAST = 2;
constexpr uint8_t CAL_MIN = 50;
constexpr uint8_t CAL_MAX = 150;

void draw_rows()
{
    char value[32];
    const int8_t scroll = int8_t(st.menu_scroll);
    const uint8_t scale = st.vsi_scale <= SCALE_LAST ? st.vsi_scale : 0;

    draw_setting_row(int8_t(ROW_DISPLAY - scroll), "VSI DISPLAY: ", off_on_names[st.vsi_display ? 1 : 0]);
    draw_setting_row(int8_t(ROW_UNIT - scroll), "VSI UNIT: ", vsi_unit_names[st.vsi_unit ? 1 : 0]);
    // The same index names a range in the unit now selected.
    draw_setting_row(int8_t(ROW_SCALE - scroll), "SCALE: ",
                     st.vsi_unit ? vsi_scale_names_ms[scale] : vsi_scale_names_ft[scale]);
    snprintf(value, sizeof value, "%d%%", int(st.vsi_cal_percent));
    draw_setting_row(int8_t(ROW_CAL - scroll), "VSI CAL: ", value);
}

void step_value(bool up)
{
    switch (st.menu_cursor) {
    case ROW_DISPLAY:
        st.vsi_display = toggled(st.vsi_display);
        break;
    case ROW_UNIT:
        st.vsi_unit = toggled(st.vsi_unit);
        break;
    case ROW_SCALE:
        st.vsi_scale = cycled(st.vsi_scale, SCALE_LAST, up);
        break;
    case ROW_CAL:
        // Stops at either end; no coarse steps here.
        if (up && st.vsi_cal_percent < CAL_MAX)
            st.vsi_cal_percent = uint8_t(st.vsi_cal_percent + 1);
        else if (!up && st.vsi_cal_percent > CAL_MIN)
            st.vsi_cal_percent = uint8_t(st.vsi_cal_percent - 1);
        break;
    default:
        break;
    }
}

}  // namespace

void screen_vsi_setup()
{
    scroll_to_cursor();
    draw_title_bar("VSI", "SETUP");
    draw_rows();
    draw_scroll_bar(st.menu_cursor, ROW_COUNT);
    draw_footer(2);

    switch (st.pending_key) {
    case KEY_LEFT:
        settings_changed_hook();
        st.current_screen = screen_main_menu;
        reset_menu_cursor(1);
        break;
    case KEY_PUSH:
        st.edit_mode = st.edit_mode ? 0 : 1;
        break;
    case KEY_CW:
        if (st.edit_mode)
            step_value(true);
        else
            st.menu_cursor = st.menu_cursor >= ROW_COUNT - 1 ? 0 : uint8_t(st.menu_cursor + 1);
        break;
    case KEY_CCW:
        if (st.edit_mode)
            step_value(false);
        else
            st.menu_cursor = (st.menu_cursor == 0 || st.menu_cursor >= ROW_COUNT) ? ROW_COUNT - 1
                                                                                  : uint8_t(st.menu_cursor - 1);
        break;
    default:  // KEY_RIGHT: nothing on this page
        break;
    }
    st.pending_key = KEY_NONE;
}
