#include "review/review_recorder.h"

#include <algorithm>
#include <cstring>

#include "core/state.h"
#include "host/time_base.h"
#include "review/review_settings.h"

namespace {

constexpr double METRES_PER_FOOT = 0.3048;
constexpr uint8_t ALTITUDE_IN_METRES = 1;

// Of the moments, these four always make the dozen: the first take-off, the
// last landing, the highest airspeed and altitude; the other take-offs,
// landings and alarm starts fill it, earliest first.
constexpr int ALWAYS_SHOWN = 0, FILLING = 1;

}  // namespace

review_recorder::review_recorder(instrument_session& session) : session_(session)
{
    session_.add_observer(this);
}

review_recorder::~review_recorder()
{
    session_.remove_observer(this);
}

void review_recorder::clear()
{
    flight_ = nullptr;
    last_tick_ = -1;
    ticks_ = 0;
    data_ = flight_review{};
    watch_ = flight_watch{};
    for (thinned_series* s : {&altitude_, &logged_altitude_, &vertical_speed_, &airspeed_})
        s->clear();
    alarm_ = false;
    flying_ = false;
    highest_altitude_ = 0;
    highest_airspeed_ = 0;
    first_takeoff_.reset();
    last_landing_.reset();
    highest_airspeed_at_.reset();
    highest_altitude_at_.reset();
    events_.clear();
}

void review_recorder::session_passed()
{
    const session_flight& played = session_.flight();
    if (!played.is_open())
        return;
    // The player has moved past the tick this pass shows.
    const long long tick = played.player().ticks_done() - 1;
    if (tick < 0 || (&played.recorded() == flight_ && tick == last_tick_))
        return;  // nothing played yet, or a further pass of the same tick (a window's run loop)
    if (&played.recorded() != flight_ || tick < last_tick_)
        start(played.recorded());
    last_tick_ = tick;
    record(played.recorded().start_time() + double(tick) / TICKS_PER_SECOND);
}

void review_recorder::start(const flight& recorded)
{
    clear();
    flight_ = &recorded;
    review_log& log = data_.log;
    log.year = recorded.year;
    log.month = recorded.month;
    log.day = recorded.day;
    log.pilot = recorded.pilot;
    log.glider = recorded.glider;
    log.fixes = recorded.fixes.size();
    log.invalid_fixes = recorded.invalid_fixes;
    // The reader's warning without the file's name (which the host knows).
    const std::string warning = flight_skip_warning(recorded, "");
    const std::string lead = ": skipped ";
    if (warning.compare(0, lead.size(), lead) == 0)
        log.skipped = warning.substr(lead.size());
    log.start = recorded.start_time();
    log.end = recorded.end_time();
    log.altitude_from = recorded.altitude_from;
    log.airspeed_from = recorded.airspeed_from;
    log.vario_logged = recorded.vario_logged;
    data_.altitude_unit = st.altitude_unit;
    data_.asi_unit = st.asi_unit;
    data_.vsi_unit = st.vsi_unit;
    std::copy(std::begin(st.speed_limits), std::end(st.speed_limits), data_.speed_limits);
    data_.settings = instrument_settings();
}

void review_recorder::keep(std::optional<candidate>& slot, double time, std::string what)
{
    if (!slot)
        slot.emplace();
    slot->time = time;
    slot->what = std::move(what);
    memcpy(slot->frame.data(), session_.frame(), slot->frame.size());
}

void review_recorder::add_event(double time, std::string what)
{
    if (events_.size() == REVIEW_MOMENTS_MAX)
        return;
    std::optional<candidate> event;
    keep(event, time, std::move(what));
    events_.push_back(std::move(*event));
}

void review_recorder::record(double time)
{
    watch_.observe(time);
    ticks_++;

    const double logged_ft = session_.flight().player().sample().altitude_ft;
    altitude_.add(time, st.altitude);
    logged_altitude_.add(time, st.altitude_unit == ALTITUDE_IN_METRES ? logged_ft * METRES_PER_FOOT : logged_ft);
    vertical_speed_.add(time, st.vertical_speed);
    airspeed_.add(time, st.airspeed);

    const bool flying = st.flight_active != 0;
    if (flying && !flying_) {
        if (!first_takeoff_)
            keep(first_takeoff_, time, "take-off");
        else
            add_event(time, "take-off");
    }
    if (!flying && flying_) {
        keep(last_landing_, time, "landing");
        add_event(time, "landing");
    }
    flying_ = flying;

    const bool alarm = (st.alarm_active & ALARM_BIT) != 0;
    if (alarm && !alarm_) {
        // The channel raises one bit for both: overspeed is tested first.
        const bool overspeed = st.airspeed > st.speed_limits[VNE] && st.vne_alarm == 1;
        data_.alarms.push_back({time, time, overspeed ? alarm_kind::overspeed : alarm_kind::stall});
        add_event(time, overspeed ? "overspeed alarm" : "stall alarm");
    }
    if (alarm)
        data_.alarms.back().end = time + TICK_SECONDS;
    alarm_ = alarm;

    if (st.airspeed > highest_airspeed_) {
        highest_airspeed_ = st.airspeed;
        keep(highest_airspeed_at_, time, "highest airspeed");
    }
    if (ticks_ == 1 || st.altitude > highest_altitude_) {
        highest_altitude_ = st.altitude;
        keep(highest_altitude_at_, time, "highest altitude");
    }
}

flight_review review_recorder::review() const
{
    flight_review r = data_;
    r.shown = watch_.summary();
    r.altitude = altitude_.points();
    r.logged_altitude = logged_altitude_.points();
    r.vertical_speed = vertical_speed_.points();
    r.airspeed = airspeed_.points();

    struct chosen {
        int rank;
        const candidate* c;
        std::string what;
    };
    std::vector<chosen> all;
    const auto unit = [](const char* name) { return std::string(" ") + name; };
    if (first_takeoff_)
        all.push_back({ALWAYS_SHOWN, &*first_takeoff_, first_takeoff_->what});
    if (last_landing_)
        all.push_back({ALWAYS_SHOWN, &*last_landing_, last_landing_->what});
    if (highest_airspeed_at_)
        all.push_back({ALWAYS_SHOWN, &*highest_airspeed_at_,
                       highest_airspeed_at_->what + " " + std::to_string(highest_airspeed_) +
                           unit(asi_unit_names[std::min<unsigned>(r.asi_unit, 2)])});
    if (highest_altitude_at_)
        all.push_back({ALWAYS_SHOWN, &*highest_altitude_at_,
                       highest_altitude_at_->what + " " + std::to_string(highest_altitude_) +
                           unit(altitude_unit_names[std::min<unsigned>(r.altitude_unit, 1)])});
    for (const candidate& e : events_)
        all.push_back({FILLING, &e, e.what});

    // One picture for what happened at the same tick, named for all of it.
    std::stable_sort(all.begin(), all.end(), [](const chosen& a, const chosen& b) { return a.c->time < b.c->time; });
    std::vector<chosen> merged;
    for (chosen& m : all) {
        if (!merged.empty() && merged.back().c->time == m.c->time) {
            chosen& same = merged.back();
            if (same.what.find(m.what) == std::string::npos)
                same.what += ", " + m.what;
            same.rank = std::min(same.rank, m.rank);
        } else {
            merged.push_back(std::move(m));
        }
    }
    std::stable_sort(merged.begin(), merged.end(), [](const chosen& a, const chosen& b) { return a.rank < b.rank; });
    if (merged.size() > REVIEW_MOMENTS_MAX)
        merged.resize(REVIEW_MOMENTS_MAX);
    std::stable_sort(merged.begin(), merged.end(), [](const chosen& a, const chosen& b) { return a.c->time < b.c->time; });
    for (const chosen& m : merged)
        r.moments.push_back({m.c->time, m.what, m.c->frame});
    return r;
}
