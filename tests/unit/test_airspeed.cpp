#include <gtest/gtest.h>

#include <vector>

#include "core/airspeed.h"
#include "core/state.h"

namespace {

// Factory settings and calibration, filter off, a clean accumulator, no
// flight and no alarm.
void fresh(uint8_t unit = 0, uint8_t filter = 0)
{
    load_default_settings();
    load_default_calibration();
    st.asi_unit = unit, st.asi_filter = filter, st.asi_filter_state = 0, st.flight_active = 0;
    st.alarm_active = st.alarm_ack = 0;
}

// The alarm and its acknowledgement.
std::pair<uint32_t, uint32_t> alarm_bits()
{
    return {st.alarm_active, st.alarm_ack};
}

// The reading held at adc for some updates.
void update_with(uint16_t adc, int times = 1)
{
    st.asi_adc = adc;
    while (times-- > 0)
        update_airspeed();
}

}  // namespace

TEST(Airspeed, ReadingToSpeedInEachUnit)
{
    struct Row { uint16_t p; uint16_t mph, kmh, kts; };
    const Row rows[] = {
        {0, 0, 0, 0},
        {1, 0, 0, 0},
        {12, 0, 0, 0},      // 15.87 mph: under the floor
        {13, 16, 25, 13},   // 16.52 mph: the lowest speed ever shown
        {100, 45, 72, 39}, {1000, 144, 231, 125}, {2000, 204, 328, 177}, {2976, 249, 400, 216}, {2977, 250, 402, 217},
        {4096, 250, 402, 217},
    };
    for (const Row& r : rows) {
        const uint16_t expected[3] = {r.mph, r.kmh, r.kts};
        for (uint8_t unit = 0; unit < 3; ++unit) {
            fresh(unit);
            update_with(r.p);
            SCOPED_TRACE(testing::Message() << "p=" << r.p << " unit=" << int(unit));
            EXPECT_EQ(st.asi_adc_sample, r.p);
            EXPECT_EQ(st.airspeed_mph, r.mph);
            EXPECT_EQ(st.airspeed, expected[unit]);
        }
    }
}

TEST(Airspeed, PerfectSquaresAreNotTruncatedBelow)
{
    // For p = 21 k^2, 21 x p is the perfect square (21 k)^2: the root must
    // come out as 21 k exactly, not one less.
    for (uint32_t k = 1; 21 * k * k <= 4096; ++k) {
        fresh();
        update_with(uint16_t(21 * k * k));
        const uint16_t mph = uint16_t(21 * k > 250 ? 250 : 21 * k);
        EXPECT_EQ(st.airspeed_mph, mph) << "k=" << k;
    }
}

TEST(Airspeed, CalibrationAndZeroOffset)
{
    struct Row { uint16_t adc; uint16_t zero; uint8_t cal; uint16_t mph; };
    const Row rows[] = {
        {1000, 0, 150, 216},
        {1000, 0, 50, 72},
        {1000, 200, 100, 129},  // p = 800
        {200, 200, 100, 0},
        {199, 200, 100, 0},     // below the offset
        {0, 200, 100, 0},
        {4096, 0, 150, 250},    // the limit applies after the calibration
        {2976, 0, 50, 124},     // 249 x 50 %
        {7, 0, 150, 18},        // 12 mph raised above the floor
        {13, 0, 90, 0},         // 16 mph lowered below it
    };
    for (const Row& r : rows) {
        fresh();
        st.asi_zero_offset = r.zero, st.asi_cal_percent = r.cal;
        update_with(r.adc);
        EXPECT_EQ(st.airspeed_mph, r.mph)
            << "adc=" << r.adc << " zero=" << r.zero << " cal=" << int(r.cal);
    }
}

TEST(Airspeed, BelowZeroOffsetRaisesNoOverspeed)
{
    fresh();
    st.asi_zero_offset = 3000;
    st.speed_limits[VNE] = 10;  // anything above 0 would be overspeed
    update_with(100);
    EXPECT_EQ(st.airspeed, 0);
    EXPECT_EQ(st.alarm_active & 1u, 0u);
}

TEST(Airspeed, FilterSequencesFromEmptyAccumulator)
{
    struct Seq { uint8_t filter; unsigned shift; std::vector<uint16_t> p, mph; };
    const Seq seqs[] = {
        {1, 1, {500, 750, 875, 937, 968, 984}, {102, 125, 135, 140, 142, 143}},
        {2, 2, {250, 437, 578, 683, 762, 821, 866, 899}, {72, 95, 110, 119, 126, 131, 134, 137}},
    };
    for (const Seq& s : seqs) {
        fresh(0, s.filter);
        for (size_t i = 0; i < s.p.size(); ++i) {
            update_with(1000);
            SCOPED_TRACE(testing::Message() << "filter=" << int(s.filter) << " update " << i + 1);
            EXPECT_EQ(st.asi_filter_state >> s.shift, s.p[i]);
            EXPECT_EQ(st.airspeed_mph, s.mph[i]);
        }
        update_with(1000, 100);
        EXPECT_EQ(st.airspeed_mph, 144) << "settled, filter=" << int(s.filter);
    }
}

TEST(Airspeed, FiltersShareOneAccumulatorThatNoneLeavesAlone)
{
    fresh(0, 1);
    update_with(1000, 100);
    const uint32_t settled = st.asi_filter_state;
    EXPECT_EQ(settled, 1999u);  // twice the smoothed reading

    // NONE passes the reading through and keeps the accumulator.
    st.asi_filter = 0;
    update_with(2000);
    EXPECT_EQ(st.airspeed_mph, 204);
    EXPECT_EQ(st.asi_filter_state, settled);

    // SLOW reads the same accumulator at four times the scale: the output
    // first drops well below the settled value, then settles again.
    st.asi_filter = 2;
    update_with(1000);
    EXPECT_EQ(st.asi_filter_state, (3u * 1999u + 4000u) >> 2);
    EXPECT_EQ(st.airspeed_mph, 114);
    update_with(1000, 100);
    EXPECT_EQ(st.airspeed_mph, 144);
}

TEST(Airspeed, OverspeedThresholds)
{
    struct Row { uint8_t unit; uint16_t adc; uint16_t speed; bool alarm; };
    const Row rows[] = {
        {0, 2325, 220, false},  // exactly Vne is not over it
        {0, 2326, 221, true},
        {1, 906, 220, false},   // 137 mph
        {1, 907, 222, true},    // 138 mph
        {2, 4096, 217, false},  // 220 kts cannot be reached
    };
    for (const Row& r : rows) {
        fresh(r.unit);
        update_with(r.adc);
        SCOPED_TRACE(testing::Message() << "unit=" << int(r.unit) << " adc=" << r.adc);
        EXPECT_EQ(st.airspeed, r.speed);
        EXPECT_EQ((st.alarm_active & 1u) != 0, r.alarm);
    }
}

TEST(Airspeed, AlarmConditions)
{
    // Default limits: Vne 220, Vs1 30. p = 42 gives 29 mph, p = 43 gives 30.
    struct Row { const char* what; uint16_t adc; uint8_t vne_alarm, vs_alarm, flight; bool alarm; };
    const Row rows[] = {
        {"overspeed", 4096, 1, 1, 0, true}, {"overspeed, Vne alarm off", 4096, 0, 1, 1, false},
        {"stopped in flight", 0, 1, 1, 1, true}, {"below Vs1 in flight", 42, 1, 1, 1, true},
        {"at Vs1 in flight", 43, 1, 1, 1, false}, {"below Vs1 on the ground", 42, 1, 1, 0, false},
        {"below Vs1, stall alarm off", 42, 1, 0, 1, false}, {"cruise", 1000, 1, 1, 1, false},
    };
    for (const Row& r : rows) {
        fresh();
        st.vne_alarm = r.vne_alarm, st.vs_alarm = r.vs_alarm, st.flight_active = r.flight;
        // Start from a held, acknowledged alarm: clearing must drop both bits.
        st.alarm_active = 1, st.alarm_ack = 1;
        update_with(r.adc);
        SCOPED_TRACE(r.what);
        EXPECT_EQ(alarm_bits(), std::pair(r.alarm ? 1u : 0u, r.alarm ? 1u : 0u));
    }
}

TEST(Airspeed, AcknowledgementLapsesWithTheCondition)
{
    fresh();
    update_with(4096);
    EXPECT_EQ(alarm_bits(), std::pair(1u, 0u));

    st.alarm_ack |= 1u;  // the pilot acknowledges
    update_with(4096, 3);
    EXPECT_EQ(alarm_bits(), std::pair(1u, 1u));

    update_with(1000);  // one update without the condition
    EXPECT_EQ(alarm_bits(), std::pair(0u, 0u));

    update_with(4096);  // a new alarm needs a new acknowledgement
    EXPECT_EQ(alarm_bits(), std::pair(1u, 0u));
}

TEST(Airspeed, MaximumOnlyRisesAndKeepsItsUnit)
{
    fresh();
    struct Step { uint8_t unit; uint16_t adc; uint16_t max; };
    const Step steps[] = {
        {0, 1000, 144},
        {0, 2000, 204},
        {0, 100, 204},   // slower: kept
        {1, 1000, 231},  // 144 mph = 231 km/h > 204
        {2, 2977, 231},  // 217 kts < 231: kept although it is faster
        {1, 2977, 402},
        {0, 0, 402},
    };
    for (const Step& s : steps) {
        st.asi_unit = s.unit;
        update_with(s.adc);
        EXPECT_EQ(st.max_airspeed, s.max) << "unit=" << int(s.unit) << " adc=" << s.adc;
    }
}
