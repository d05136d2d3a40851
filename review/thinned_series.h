// A time series kept small enough to plot however long the flight: the
// points go into buckets of a number of ticks, each bucket keeping only its
// lowest and its highest point, and when there are more than
// THINNED_BUCKETS_MAX buckets, neighbours are merged and the width doubles.
// A peak or a dip therefore always survives, whatever the flight's length,
// and memory stays bounded while the points arrive one tick at a time.
#pragma once
#include <cstddef>
#include <vector>

struct series_point {
    double time = 0.0;  // flight time, seconds
    double value = 0.0;
};

constexpr size_t THINNED_BUCKETS_MAX = 4096;

class thinned_series {
public:
    // One point a tick, in time order.
    void add(double time, double value);
    void clear();

    // The points to draw, in time order: each bucket's lowest and highest,
    // less the points inside a run of equal values (a straight line drawn
    // without them is the same line).
    std::vector<series_point> points() const;
    // Ticks per bucket now: 1 until the first merge, then 2, 4, ...
    long long bucket_ticks() const { return width_; }
    long long added() const { return added_; }

private:
    struct bucket {
        series_point low, high;
    };
    void merge_pairs();

    std::vector<bucket> buckets_;
    long long width_ = 1;
    long long in_last_ = 0;  // points in the last bucket
    long long added_ = 0;
};
