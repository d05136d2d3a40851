// Builds a flight's review while a session plays it: a follower of the
// session that, at the first pass after each tick of flight played, reads
// what the instrument shows (the state record and the LCD) and keeps it.
// Nothing is played twice: the review is what the host's own playback
// showed, headless or live, at any speed. Playing from an earlier time, or
// another flight, starts the review over.
#pragma once
#include <optional>

#include "flight/flight_summary.h"
#include "review/flight_review.h"
#include "session/session.h"

// A moment as it was met, before the dozen are chosen.
struct review_candidate {
    double time = 0.0;
    std::string what;
    review_frame frame{};
};

class review_recorder final : public session_observer {
public:
    // Follows session from now until destroyed.
    explicit review_recorder(instrument_session& session);
    ~review_recorder();
    review_recorder(const review_recorder&) = delete;
    review_recorder& operator=(const review_recorder&) = delete;

    // Ticks of flight recorded since the review started.
    long long ticks() const { return ticks_; }
    // What the instrument showed over the ticks recorded.
    const flight_summary& summary() const { return watch_.summary(); }
    // The review of what has been played so far, its moments chosen.
    flight_review review() const;
    // Forgets what was recorded.
    void clear();

    void session_passed() override;

private:
    using candidate = review_candidate;
    void start(const flight& recorded);
    void record(double time);
    void keep(std::optional<candidate>& slot, double time, std::string what);
    void add_event(double time, std::string what);

    instrument_session& session_;
    const flight* flight_ = nullptr;  // the flight being recorded
    long long last_tick_ = -1;        // the last tick of flight recorded
    long long ticks_ = 0;

    flight_review data_;  // everything but the series and the moments
    flight_watch watch_;
    thinned_series altitude_, logged_altitude_, vertical_speed_, airspeed_;
    bool alarm_ = false;
    bool flying_ = false;
    int32_t highest_altitude_ = 0;
    uint16_t highest_airspeed_ = 0;
    std::optional<candidate> first_takeoff_, last_landing_, highest_airspeed_at_, highest_altitude_at_;
    std::vector<candidate> events_;  // the first other take-offs, landings and alarm starts
};
