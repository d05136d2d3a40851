// print: every field of the state record by name, each showing the value the
// record holds, in the field's own width and sign.
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

#include "scenario/fields.h"
#include "screen_harness.h"
#include "test_replay_support.h"

namespace {

using screen_test::all_screens;

std::string read_source(const char* relative)
{
    std::ifstream file(std::string(KTR7_SOURCE_DIR) + "/" + relative);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Every match of the pattern's first group in the text.
std::vector<std::string> matches(const std::string& text, const std::regex& pattern)
{
    std::vector<std::string> found;
    for (std::sregex_iterator m(text.begin(), text.end(), pattern), none; m != none; ++m)
        found.push_back((*m)[1]);
    return found;
}

// The member names declared in the body of struct instrument_state: each
// line "type name[, name...];", array extents allowed, comments dropped.
std::set<std::string> state_record_fields()
{
    const std::string source = read_source("core/state.h");
    const size_t begin = source.find("struct instrument_state {"), end = source.find("\n};", begin);
    if (begin == std::string::npos || end == std::string::npos)
        return {};
    const std::string body = std::regex_replace(source.substr(begin, end - begin), std::regex("//[^\n]*"), "");
    std::set<std::string> names;
    for (const std::string& list : matches(body, std::regex(R"(\n\s*[\w:]+\s+([\w\s,\[\]]+);)")))
        for (const std::string& name : matches(list, std::regex(R"((\w+)\s*(\[[^\]]*\])?\s*(,|$))")))
            names.insert(name);
    return names;
}

// The handler names declared in screens/screens.h: "void screen_x();".
std::vector<std::string> declared_screens()
{
    return matches(read_source("screens/screens.h"), std::regex(R"(\bvoid (screen_\w+)\(\);)"));
}

std::vector<std::string> table_names()
{
    std::vector<std::string> names;
    for (const field_entry& f : field_table())
        names.push_back(f.name);
    return names;
}

TEST(ReplayFields, TheHeaderParseFindsTheRecord)
{
    // Guards the parse below: a few fields of each kind must be found.
    const std::set<std::string> found = state_record_fields();
    for (const char* name : {"backlight_level", "qnh", "speed_limits", "serial_line", "sensor_temperature",
                             "current_screen", "code_digits", "text_end_x"})
        EXPECT_TRUE(found.count(name)) << name;
    EXPECT_GT(found.size(), 60u);
}

TEST(ReplayFields, EveryRecordFieldHasAName)
{
    std::vector<std::string> names = table_names();
    std::set<std::string> known(names.begin(), names.end());
    for (const std::string& field : state_record_fields())
        EXPECT_TRUE(known.count(field)) << "print does not know the field " << field;
}

TEST(ReplayFields, EveryNameIsARecordFieldOrTheLamp)
{
    const std::set<std::string> record = state_record_fields();
    std::set<std::string> seen;
    for (const std::string& name : table_names()) {
        EXPECT_TRUE(record.count(name) || name == "lamp") << name;
        EXPECT_TRUE(seen.insert(name).second) << "twice: " << name;
    }
}

TEST(ReplayFields, EveryDeclaredScreenHasAName)
{
    std::vector<std::string> declared = declared_screens();
    EXPECT_GT(declared.size(), 20u);
    std::set<std::string> known;
    for (const screen_name_entry& s : screen_names())
        known.insert(s.name);
    for (const std::string& name : declared)
        EXPECT_TRUE(known.count(name)) << "no name for " << name;
    EXPECT_EQ(known.size(), screen_names().size()) << "a name given twice";
}

// Every handler prints as its own name, through both screen fields.
TEST(ReplayFields, ScreensPrintByName)
{
    EXPECT_EQ(std::size(all_screens), declared_screens().size()) << "a screen missing from this test";
    for (const auto& [handler, name] : all_screens) {
        replay_reset();
        st.current_screen = handler, st.return_screen = handler;
        replay_result r = run_script("print current_screen return_screen", false);
        EXPECT_EQ(r.out, std::string("current_screen=") + name + "\nreturn_screen=" + name + "\n");
    }
    replay_reset();
    st.current_screen = nullptr;
    EXPECT_EQ(run_script("print current_screen", false).out, "current_screen=none\n");
}

struct field_case { const char* name; std::function<void()> set; const char* printed; };

// One row per printable name: a value other than the start value, chosen to
// show the field's width and sign. SET names the field once, for the name
// printed and the field set.
#define SET(field, value, printed) {#field, [] { st.field = value; }, printed}
const std::vector<field_case>& field_cases()
{
    static const std::vector<field_case> cases = {
        SET(backlight_level, 255, "255"), SET(security_enabled, 1, "1"), SET(security_code, 65535, "65535"),
        SET(altitude_unit, 1, "1"), SET(pressure_unit, 1, "1"), SET(serial_out, 1, "1"), SET(serial_protocol, 5, "5"),
        SET(altitude_resolution, 4, "4"), SET(qnh, 4000000000u, "4000000000"), SET(alt_on_top, 1, "1"),
        SET(vsi_display, 1, "1"), SET(vsi_unit, 1, "1"), SET(vsi_scale, 2, "2"), SET(asi_unit, 2, "2"),
        SET(asi_filter, 2, "2"),
        {"speed_limits",
         [] {
             const uint16_t v[5] = {500, 180, 50, 30, 10};
             memcpy(st.speed_limits, v, sizeof v);
         },
         "500,180,50,30,10"},
        SET(vne_alarm, 1, "1"), SET(vs_alarm, 1, "1"), SET(flight_timer_mode, 1, "1"),
        SET(takeoff_airspeed, 500, "500"), SET(altitude_cal_offset, -125, "-125"), SET(asi_cal_percent, 150, "150"),
        SET(asi_zero_offset, 4096, "4096"), SET(vsi_cal_percent, 50, "50"), SET(max_airspeed, 402, "402"),
        SET(altitude, -2147483647 - 1, "-2147483648"), SET(vertical_speed, -6000, "-6000"),
        SET(asi_adc, 4096, "4096"), SET(alt_sensor_ok, 1, "1"), SET(encoder_altitude, -1234, "-1234"),
        SET(encoder_c_altitude, 2147483647, "2147483647"), SET(vertical_speed_cms, -3048, "-3048"),
        SET(alt_sensor_present, 1, "1"), SET(sensor_temperature, -21.5f, "-21.5"),
        SET(sensor_pressure, 1013.25f, "1013.25"), SET(asi_adc_sample, 3999, "3999"),
        SET(asi_filter_state, 0xFFFFFFFFu, "4294967295"), SET(airspeed_mph, 250, "250"), SET(airspeed, 402, "402"),
        SET(alarm_active, 0x80000001u, "2147483649"), SET(alarm_ack, 1, "1"), SET(flight_active, 1, "1"),
        SET(landing_countdown, 30, "30"), SET(flight_tenths, 9, "9"), SET(flight_seconds, 59, "59"), SET(flight_minutes, 58, "58"),
        SET(flight_hours, 99, "99"),
        {"serial_line", [] { strcpy(st.serial_line, "#AL +01234T+25DB\r"); }, "\\x23AL +01234T+25DB\\x0D"},
        SET(blink_divider, 10, "10"), SET(blink_phase, 1, "1"), SET(tick_counter, 19, "19"),
        SET(stop_requested, 1, "1"), SET(current_screen, screen_asi_setup, "screen_asi_setup"),
        SET(return_screen, screen_main_menu, "screen_main_menu"), SET(pending_key, 5, "5"),
        SET(menu_cursor, 200, "200"), SET(menu_scroll, 3, "3"), SET(edit_mode, 1, "1"), SET(edit_step, 100, "100"),
        SET(main_page, 2, "2"),
        {"code_digits",
         [] {
             const uint8_t d[4] = {9, 0, 4, 2};
             memcpy(st.code_digits, d, sizeof d);
         },
         "9,0,4,2"},
        SET(pending_code, 9999, "9999"), SET(test_altitude, -1000, "-1000"), SET(text_start_x, 65535, "65535"),
        SET(text_end_x, 159, "159"),
        {"lamp",
         [] {
             run_script("on", false);
             st.alarm_active = 1, st.alarm_ack = 0;
             run_script("pass", false);
         },
         "red"},
    };
    return cases;
}
#undef SET

TEST(ReplayFields, EveryNameHasAPrintCase)
{
    std::set<std::string> covered;
    for (const field_case& c : field_cases())
        covered.insert(c.name);
    for (const std::string& name : table_names())
        EXPECT_TRUE(covered.count(name)) << "no print case for " << name;
}

TEST(ReplayFields, EachPrintsTheValueSet)
{
    for (const field_case& c : field_cases()) {
        replay_reset();
        replay_result before = run_script(std::string("print ") + c.name, false);
        c.set();
        replay_result after = run_script(std::string("print ") + c.name, false);
        EXPECT_EQ(after.status, REPLAY_OK) << after.err;
        EXPECT_EQ(after.out, std::string(c.name) + "=" + c.printed + "\n");
        EXPECT_NE(before.out, after.out) << c.name << " printed the same before it was set";
    }
}

// A field printed does not bleed into its neighbours: set one, the others
// keep their start value.
TEST(ReplayFields, OnlyTheFieldSetChanges)
{
    replay_reset();
    std::string all = "print";
    for (const field_entry& f : field_table())
        all += std::string(" ") + f.name;
    const std::string baseline = run_script(all, false).out;
    for (const field_case& c : field_cases()) {
        if (std::string(c.name) == "lamp")
            continue;
        replay_reset();
        c.set();
        std::istringstream lines(run_script(all, false).out), base(baseline);
        std::string line, start;
        while (std::getline(lines, line) && std::getline(base, start)) {
            std::string name = line.substr(0, line.find('='));
            if (name != c.name) {
                EXPECT_EQ(line, start) << "setting " << c.name;
            }
        }
    }
}

TEST(ReplayFields, AnEmptyLineAndAFullLinePrint)
{
    replay_reset();
    EXPECT_EQ(run_script("print serial_line", false).out, "serial_line=\n");
    // All 50 bytes used, no terminator: the field's size ends the text.
    memset(st.serial_line, 'A', sizeof st.serial_line);
    EXPECT_EQ(run_script("print serial_line", false).out, "serial_line=" + std::string(SERIAL_LINE_SIZE, 'A') + "\n");
}

}  // namespace
