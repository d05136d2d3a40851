// A recorded flight as the simulator plays it: the logger's fixes in time
// order, the header's pilot and date, which logged value drives each of the
// instrument's channels, and what the reader skipped. Built by the IGC reader
// (flight/igc_reader.h), by flight_from_track from a list of points (GPX, the
// web page, gpsbabel's output) and read at any time by flight/flight_sample.h.
// Plain C++, no files and no Qt, so the web page compiles it too.
#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

// What a logger did not record.
constexpr double FLIGHT_UNKNOWN = std::numeric_limits<double>::quiet_NaN();
constexpr double SECONDS_PER_MINUTE = 60.0;
constexpr double SECONDS_PER_HOUR = 3600.0;
constexpr double SECONDS_PER_DAY = 86400.0;
// Fixes further apart than this are a gap: the values before it are held
// until the fix after it rather than drawn as a straight line across it.
constexpr double FLIGHT_GAP_SECONDS = 60.0;

struct flight_fix {
    // Seconds since midnight UTC of the flight's date; a flight over
    // midnight goes on past 86400.
    double time = 0.0;
    // A 3D position fix (IGC 'A'). An invalid fix ('V') keeps its time and
    // its pressure altitude, which come from the logger's own clock and
    // barometer; its position and GNSS altitude are not used.
    bool valid = true;
    double latitude = FLIGHT_UNKNOWN;   // degrees, north positive
    double longitude = FLIGHT_UNKNOWN;  // degrees, east positive
    double pressure_altitude_m = FLIGHT_UNKNOWN;  // over 1013.25 mb, standard atmosphere
    double gnss_altitude_m = FLIGHT_UNKNOWN;
    double ias_kmh = FLIGHT_UNKNOWN;     // indicated airspeed, where logged
    double tas_kmh = FLIGHT_UNKNOWN;     // true airspeed, where logged
    double vario_ms = FLIGHT_UNKNOWN;    // the logger's own vertical speed (IGC VAT)
    double ground_speed_kmh = FLIGHT_UNKNOWN;  // logged (GPX speed) or left to flight_prepare

    // The channels the instrument is fed from, filled by flight_prepare:
    // every fix has all three, values the logger lacked held from the fix
    // before (or, before the first, taken from the first that has one).
    double altitude_ft = 0.0;  // pressure altitude (or the GNSS altitude standing in), feet
    double airspeed_kmh = 0.0;  // by the flight's airspeed source
    double vario_fpm = FLIGHT_UNKNOWN;  // from the logged vertical speed; unknown when none is logged
};

// Where the altitude channel comes from: the pressure altitude, or the GNSS
// altitude on a logger without a pressure sensor (all its pressure altitudes
// 0 while the GNSS altitude varies) and in GPX tracks.
enum class altitude_source : uint8_t { pressure, gnss };
// Where the airspeed channel comes from, the first that the log has.
enum class airspeed_source : uint8_t { indicated, true_airspeed, ground_speed };

const char* altitude_source_name(altitude_source source);  // "pressure altitude", "GNSS altitude"
const char* airspeed_source_name(airspeed_source source);  // "IAS", "TAS", "ground speed"

// Why a record or point was left out.
enum class skip_reason : uint8_t { malformed, time_back, time_repeated };

struct flight_skip {
    long line;  // 1-based line of the file
    skip_reason reason;
};

struct flight {
    std::vector<flight_fix> fixes;  // strictly increasing times
    std::string pilot;   // from the header, "" when not given
    std::string glider;  // type and registration as the header gives them, "" when not given
    // The date of the first fix (UTC); 0 when the log does not say.
    int year = 0, month = 0, day = 0;
    altitude_source altitude_from = altitude_source::pressure;
    airspeed_source airspeed_from = airspeed_source::ground_speed;
    bool vario_logged = false;
    long invalid_fixes = 0;  // fixes marked invalid ('V'), kept for their time and pressure
    std::vector<flight_skip> skipped;

    double start_time() const { return fixes.empty() ? 0.0 : fixes.front().time; }
    double end_time() const { return fixes.empty() ? 0.0 : fixes.back().time; }
    double duration() const { return end_time() - start_time(); }
};

// Adds fixes in the order a file lists them: a fix whose time is not after
// the last one kept is skipped and counted (repeated or going back). Times of
// day (seconds since midnight) that fall by more than half a day are the next
// day: the flight went over midnight; after midnight, a time more than half a
// day after the last is the day before's, going back.
class flight_builder {
public:
    explicit flight_builder(flight& out) : out_(out) {}
    // time_of_day: seconds since midnight of the flight's date, 0..86399.
    void add_time_of_day(flight_fix fix, long line);
    // fix.time already counts from the flight's date (no wrap).
    void add(const flight_fix& fix, long line);

private:
    flight& out_;
    double day_offset_ = 0.0;
};

// Chooses the sources and fills every fix's channels. Call once all fixes
// are in; the readers and flight_from_track do.
void flight_prepare(flight& f);

// At least one fix the instrument can be fed from: one valid fix, or an
// invalid one with a pressure altitude.
bool flight_playable(const flight& f);

// One point of a track as GPX, gpsbabel's output and the web page give it.
struct track_point {
    double unix_time = 0.0;        // seconds since 1970-01-01 00:00 UTC
    double altitude_m = FLIGHT_UNKNOWN;  // GNSS altitude ("ele")
    double speed_ms = FLIGHT_UNKNOWN;    // ground speed where the track has one
    double latitude = FLIGHT_UNKNOWN;
    double longitude = FLIGHT_UNKNOWN;
    long line = 0;                 // where it was read, for the skip report
};

// A flight from a track's points in file order: the date from the first
// point, the GNSS altitude as its altitude channel, the ground speed as its
// airspeed. False with why set when no point has a time and an altitude.
bool flight_from_track(std::span<const track_point> points, flight& out, std::string& why);

// One warning for what the reader skipped, naming the file and the lines:
// "FILE: skipped 3 records: malformed at lines 12, 40; time going back at
// line 7"; "" when nothing was skipped.
std::string flight_skip_warning(const flight& f, const char* file_name);

// "HH:MM:SS" of a flight time as a time of day (wrapping at midnight).
std::string flight_time_of_day(double time);

// A day of the calendar: month 1..12, day 1 to the month's last (29 February
// in leap years only).
bool civil_date_exists(int year, int month, int day);

// Days since 1970-01-01 of a civil date, and back.
long long days_from_civil(int year, int month, int day);
void civil_from_days(long long days, int& year, int& month, int& day);
