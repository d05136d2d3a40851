// VSI SETUP: the vertical speed tape on or off, its unit, its full scale and
// its calibration percentage.
#include <cstdio>

#include "core/state.h"
#include "screens/framework.h"
#include "screens/screens.h"

namespace {

enum : uint8_t { ROW_DISPLAY, ROW_UNIT, ROW_SCALE, ROW_CAL, ROW_COUNT };

constexpr uint8_t SCALE_LAST = 2;

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

// No coarse steps on this page: every row moves by one.
void step_value(bool up)
{
    switch (st.menu_cursor) {
    case ROW_DISPLAY: st.vsi_display = toggled(st.vsi_display); break;
    case ROW_UNIT: st.vsi_unit = toggled(st.vsi_unit); break;
    case ROW_SCALE: st.vsi_scale = cycled(st.vsi_scale, SCALE_LAST, up); break;
    case ROW_CAL: st.vsi_cal_percent = cal_percent_stepped(st.vsi_cal_percent, up); break;
    default: break;
    }
}

}  // namespace

void screen_vsi_setup()
{
    scroll_to_cursor();
    draw_title_bar("VSI", "SETUP");
    draw_rows();
    draw_scroll_bar(st.menu_cursor, ROW_COUNT);
    draw_footer(FOOTER_BACK);

    switch (const uint8_t key = take_key()) {
    case KEY_LEFT: leave_setup_page(MAIN_MENU_VSI_SETUP); break;
    case KEY_PUSH: st.edit_mode = toggled(st.edit_mode); break;
    case KEY_CW:
    case KEY_CCW: turn_setting_list(key == KEY_CW, ROW_COUNT, step_value); break;
    default: break;  // KEY_RIGHT: nothing on this page
    }
}
