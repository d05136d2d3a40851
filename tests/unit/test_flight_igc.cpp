// The IGC reader over small logs written here, one awkward case per row:
// what real loggers write (both date headers, the I record's IAS, TAS and
// VAT, invalid fixes, times that repeat or go back, midnight, gaps, no
// pressure sensor, CR LF, a cut last line) and what is not a log at all.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "flight/flight_sample.h"
#include "flight/igc_reader.h"

namespace {

// A B record at 47°00.000'N 8°00.000'E (plus seconds of longitude, so that
// fixes move) with the given time, validity, altitudes and extension text.
std::string b(const char* hhmmss, char validity, int pressure, int gnss, const std::string& extra = "",
              int east_thousandths = 0)
{
    char line[128];
    snprintf(line, sizeof line, "B%s4700000N008%05dE%c%05d%05d%s", hhmmss, east_thousandths, validity, pressure, gnss,
             extra.c_str());
    return line;
}

std::string log_of(std::initializer_list<std::string> lines, const char* ending = "\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + ending;
    return text;
}

struct igc_case {
    const char* name;
    std::string text;
    size_t fixes;          // kept
    double first_time;     // of the first fix kept
    double last_time;      // of the last fix kept
    long malformed, back, repeated;
    long invalid;
    altitude_source altitude_from;
    airspeed_source airspeed_from;
    double first_altitude_ft;
    double first_airspeed_kmh;
};

const std::string HEADER = "AXXXTEST\nHFDTE150726\n";

TEST(FlightIgc, ReadsWhatLoggersWrite)
{
    const igc_case cases[] = {
        {"plain", HEADER + log_of({b("120000", 'A', 100, 150), b("120001", 'A', 101, 151)}), 2, 43200, 43201, 0, 0,
         0, 0, altitude_source::pressure, airspeed_source::ground_speed, 100 * 3.280839895, 0.0},
        {"crlf", "AXXXTEST\r\nHFDTE150726\r\n" + log_of({b("120000", 'A', 100, 150), b("120001", 'A', 101, 151)}, "\r\n"),
         2, 43200, 43201, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 100 * 3.280839895, 0.0},
        {"negative pressure altitude", HEADER + b("120000", 'A', -12, 20) + "\n" + b("120001", 'A', -11, 20) + "\n",
         2, 43200, 43201, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, -12 * 3.280839895, 0.0},
        {"invalid fix keeps its pressure", HEADER + log_of({b("120000", 'V', 300, 0), b("120001", 'A', 301, 350)}), 2,
         43200, 43201, 0, 0, 0, 1, altitude_source::pressure, airspeed_source::ground_speed, 300 * 3.280839895, 0.0},
        {"time back and repeated",
         HEADER + log_of({b("120000", 'A', 1, 1), b("120005", 'A', 2, 2), b("120003", 'A', 3, 3),
                          b("120005", 'A', 4, 4), b("120006", 'A', 5, 5)}),
         3, 43200, 43206, 0, 1, 1, 0, altitude_source::pressure, airspeed_source::ground_speed, 1 * 3.280839895, 0.0},
        {"over midnight", HEADER + log_of({b("235959", 'A', 10, 10), b("000000", 'A', 11, 11), b("000001", 'A', 12, 12)}),
         3, 86399, 86401, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 10 * 3.280839895, 0.0},
        {"back over midnight",
         HEADER + log_of({b("235959", 'A', 10, 10), b("000000", 'A', 11, 11), b("235958", 'A', 1, 1),
                          b("130000", 'A', 1, 1), b("000002", 'A', 12, 12)}),
         3, 86399, 86402, 0, 2, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 10 * 3.280839895, 0.0},
        {"no pressure sensor: GNSS stands in",
         HEADER + log_of({b("120000", 'A', 0, 500), b("120001", 'A', 0, 510)}), 2, 43200, 43201, 0, 0, 0, 0,
         altitude_source::gnss, airspeed_source::ground_speed, 500 * 3.280839895, 0.0},
        {"no pressure sensor: a V fix's GNSS 0 is not played",
         HEADER + log_of({b("120000", 'V', 0, 0), b("120001", 'A', 0, 500), b("120002", 'A', 0, 510)}), 3, 43200,
         43202, 0, 0, 0, 1, altitude_source::gnss, airspeed_source::ground_speed, 500 * 3.280839895, 0.0},
        {"pressure and GNSS both 0: pressure", HEADER + log_of({b("120000", 'A', 0, 0), b("120001", 'A', 0, 0)}), 2,
         43200, 43201, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 0.0, 0.0},
        {"IAS in three digits", HEADER + log_of({"I013638IAS", b("120000", 'A', 1, 1, "095"), b("120001", 'A', 1, 1, "096")}),
         2, 43200, 43201, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::indicated, 1 * 3.280839895, 95.0},
        {"IAS in five digits, two decimals",
         HEADER + log_of({"I013640IAS", b("120000", 'A', 1, 1, "09550"), b("120001", 'A', 1, 1, "09600")}), 2, 43200,
         43201, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::indicated, 1 * 3.280839895, 95.5},
        {"TAS when no IAS", HEADER + log_of({"I023638FXA3941TAS", b("120000", 'A', 1, 1, "999120")}), 1, 43200, 43200,
         0, 0, 0, 0, altitude_source::pressure, airspeed_source::true_airspeed, 1 * 3.280839895, 120.0},
        {"IAS before TAS", HEADER + log_of({"I023638TAS3941IAS", b("120000", 'A', 1, 1, "150140")}), 1, 43200, 43200,
         0, 0, 0, 0, altitude_source::pressure, airspeed_source::indicated, 1 * 3.280839895, 140.0},
        {"malformed records skipped",
         HEADER + log_of({b("120000", 'A', 1, 1), "B12000147000", b("120002", 'X', 1, 1), b("126002", 'A', 1, 1),
                          b("240000", 'A', 1, 1), "B1200024760000N00800000EA0000100001",
                          "B1200024700000N00800000EA000x100001", "HFDTEXXXXXX", "I99", "I013538IAS",
                          b("235959", 'A', 1, 1)}),
         2, 43200, 86399, 9, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 1 * 3.280839895, 0.0},
        {"last line cut short", HEADER + log_of({b("120000", 'A', 1, 1), b("120001", 'A', 2, 2)}) + "B1200024700",
         2, 43200, 43201, 1, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 1 * 3.280839895, 0.0},
        {"extension cut off: value held",
         HEADER + log_of({"I013638IAS", b("120000", 'A', 1, 1, "080"), b("120001", 'A', 1, 1, "0")}), 2, 43200, 43201,
         0, 0, 0, 0, altitude_source::pressure, airspeed_source::indicated, 1 * 3.280839895, 80.0},
        {"other records skipped silently",
         HEADER + log_of({"C150726120000000000000001", "LXXXCOMMENT", "E120000PEV", "F120000", "K120000",
                          b("120000", 'A', 7, 7), "GABCDEF"}),
         1, 43200, 43200, 0, 0, 0, 0, altitude_source::pressure, airspeed_source::ground_speed, 7 * 3.280839895, 0.0},
    };
    for (const igc_case& c : cases) {
        SCOPED_TRACE(c.name);
        flight f;
        std::string why;
        ASSERT_TRUE(read_igc(c.text, f, why)) << why;
        ASSERT_EQ(f.fixes.size(), c.fixes);
        EXPECT_EQ(f.start_time(), c.first_time);
        EXPECT_EQ(f.end_time(), c.last_time);
        long malformed = 0, back = 0, repeated = 0;
        for (const flight_skip& s : f.skipped)
            (s.reason == skip_reason::malformed ? malformed : s.reason == skip_reason::time_back ? back : repeated)++;
        EXPECT_EQ(malformed, c.malformed);
        EXPECT_EQ(back, c.back);
        EXPECT_EQ(repeated, c.repeated);
        EXPECT_EQ(f.invalid_fixes, c.invalid);
        EXPECT_EQ(f.altitude_from, c.altitude_from);
        EXPECT_EQ(f.airspeed_from, c.airspeed_from);
        EXPECT_NEAR(f.fixes[0].altitude_ft, c.first_altitude_ft, 1e-9);
        EXPECT_NEAR(f.fixes[0].airspeed_kmh, c.first_airspeed_kmh, 1e-9);
    }
}

TEST(FlightIgc, HeaderDatePilotAndGlider)
{
    const struct {
        const char* line;
        int year, month, day;
    } dates[] = {
        {"HFDTE150726", 2026, 7, 15},
        {"HFDTEDATE:010180,01", 1980, 1, 1},
        {"HFDTEDATE:311279", 2079, 12, 31},
        {"HFDTE320726", 0, 0, 0},  // day 32: malformed, no date
        {"HFDTE000726", 0, 0, 0},  // day 0
        {"HFDTE300626", 2026, 6, 30},
        {"HFDTE310626", 0, 0, 0},  // 31 June
        {"HFDTE290228", 2028, 2, 29},
        {"HFDTE290226", 0, 0, 0},  // 29 February of a year that is no leap year
        {"HFDTE150026", 0, 0, 0},  // month 0
        {"HFDTE151326", 0, 0, 0},  // month 13
        {"HFDTEDATE:0107", 0, 0, 0},  // cut short
    };
    for (const auto& d : dates) {
        SCOPED_TRACE(d.line);
        flight f;
        std::string why;
        const std::string text = std::string("AXXX\n") + d.line + "\nHFPLTPILOTINCHARGE: Jo Pilot \nHFGTYGLIDERTYPE:Kite\n" +
                                 "HFGIDGLIDERID:X-ABC\n" + b("100000", 'A', 1, 1) + "\n";
        ASSERT_TRUE(read_igc(text, f, why));
        EXPECT_EQ(f.year, d.year);
        EXPECT_EQ(f.month, d.month);
        EXPECT_EQ(f.day, d.day);
        EXPECT_EQ(f.skipped.size(), d.year == 0 ? 1u : 0u);
        EXPECT_EQ(f.pilot, "Jo Pilot");
        EXPECT_EQ(f.glider, "Kite X-ABC");
    }
}

TEST(FlightIgc, VarioExtension)
{
    const struct {
        const char* i_record;
        const char* field;
        double ms;
    } rows[] = {
        {"I013639VAT", "+012", 1.2},  {"I013639VAT", "-035", -3.5}, {"I013638VAT", "000", 0.0},
        {"I013640VAT", "-1.50", -1.5}, {"I013639VAT", "2.25", 2.25},  {"I013640VAT", "-0.50", -0.5},
        {"I013640VAT", "+0.50", 0.5},  {"I013638VAT", "-05", -0.5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.field);
        flight f;
        std::string why;
        ASSERT_TRUE(read_igc(HEADER + r.i_record + "\n" + b("100000", 'A', 1, 1, r.field) + "\n", f, why));
        EXPECT_TRUE(f.vario_logged);
        EXPECT_NEAR(f.fixes[0].vario_fpm, r.ms * 196.850393701, 1e-6);
    }
}

TEST(FlightIgc, NothingToPlayIsOneMessage)
{
    const struct {
        const char* name;
        std::string text;
        const char* why;
    } rows[] = {
        {"only invalid fixes", HEADER + log_of({b("120000", 'V', 1, 0), b("120001", 'V', 1, 0)}), "no valid fix"},
        {"header without fixes", HEADER, "no fix"},
        {"every B record malformed", HEADER + "B1234\nBXXXXXX4700000N00800000EA0000100001\n", "no fix"},
        {"not a log", "hello\nworld\n", "not an IGC flight log"},
        {"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0B\xff\xfe", 13), "not an IGC flight log"},
        {"empty", "", "not an IGC flight log"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        flight f;
        std::string why;
        EXPECT_FALSE(read_igc(r.text, f, why));
        EXPECT_NE(why.find(r.why), std::string::npos) << why;
    }
    EXPECT_TRUE(looks_like_igc(HEADER));
    EXPECT_TRUE(looks_like_igc("\n" + b("120000", 'A', 1, 1)));
    EXPECT_FALSE(looks_like_igc("A\x01\x02\n"));
    EXPECT_FALSE(looks_like_igc("<gpx>"));
}

TEST(FlightIgc, SkipWarningNamesFileAndLines)
{
    std::string text = HEADER;  // lines 1 and 2
    for (int i = 0; i < 14; i++)  // lines 3..16: every other one malformed
        text += (i % 2 ? std::string("B1") : b(("1200" + std::to_string(10 + i)).c_str(), 'A', 1, 1)) + "\n";
    text += b("120000", 'A', 1, 1) + "\n";  // line 17 goes back
    flight f;
    std::string why;
    ASSERT_TRUE(read_igc(text, f, why));
    EXPECT_EQ(flight_skip_warning(f, "a.igc"),
              "a.igc: skipped 8 records: malformed at lines 4, 6, 8, 10, 12, 14, 16; time going back at line 17");
    std::string many = HEADER;
    for (int i = 0; i < 12; i++)
        many += "B1\n";
    many += b("120000", 'A', 1, 1) + "\n";
    ASSERT_TRUE(read_igc(many, f, why));
    EXPECT_EQ(flight_skip_warning(f, "b.igc"),
              "b.igc: skipped 12 records: malformed at lines 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 and 2 more");
    ASSERT_TRUE(read_igc(HEADER + b("120000", 'A', 1, 1) + "\n", f, why));
    EXPECT_EQ(flight_skip_warning(f, "c.igc"), "");
}

TEST(FlightIgc, HundredThousandFixes)
{
    std::string text = HEADER;
    text.reserve(100000 * 40);
    for (int i = 0; i < 100000; i++) {
        const int t = 3600 + i / 2;  // two fixes a second apart from ... every second repeated once
        char hhmmss[8];
        snprintf(hhmmss, sizeof hhmmss, "%02d%02d%02d", t / 3600 % 24, t / 60 % 60, t % 60);
        text += b(hhmmss, 'A', 1000 + i % 500, 1000, "", i % 60000) + "\r\n";
    }
    flight f;
    std::string why;
    ASSERT_TRUE(read_igc(text, f, why));
    EXPECT_EQ(f.fixes.size(), 50000u);
    EXPECT_EQ(f.skipped.size(), 50000u);
    EXPECT_EQ(f.duration(), 49999.0);
}

}  // namespace
