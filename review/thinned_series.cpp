#include "review/thinned_series.h"

void thinned_series::add(double time, double value)
{
    const series_point p{time, value};
    added_++;
    if (buckets_.empty() || in_last_ == width_) {
        if (buckets_.size() == THINNED_BUCKETS_MAX)
            merge_pairs();
        buckets_.push_back({p, p});
        in_last_ = 1;
        return;
    }
    bucket& b = buckets_.back();
    // Strictly lower or higher: of equal values the first is kept.
    if (value < b.low.value)
        b.low = p;
    if (value > b.high.value)
        b.high = p;
    in_last_++;
}

void thinned_series::merge_pairs()
{
    // Full buckets only: the count is even, as the maximum is.
    size_t kept = 0;
    for (size_t i = 0; i + 1 < buckets_.size(); i += 2) {
        bucket merged = buckets_[i];
        const bucket& next = buckets_[i + 1];
        if (next.low.value < merged.low.value)
            merged.low = next.low;
        if (next.high.value > merged.high.value)
            merged.high = next.high;
        buckets_[kept++] = merged;
    }
    buckets_.resize(kept);
    width_ *= 2;
    in_last_ = width_;
}

void thinned_series::clear()
{
    buckets_.clear();
    width_ = 1;
    in_last_ = 0;
    added_ = 0;
}

std::vector<series_point> thinned_series::points() const
{
    std::vector<series_point> all;
    all.reserve(buckets_.size() * 2);
    for (const bucket& b : buckets_) {
        const bool low_first = b.low.time <= b.high.time;
        all.push_back(low_first ? b.low : b.high);
        if (b.low.time != b.high.time)
            all.push_back(low_first ? b.high : b.low);
    }
    std::vector<series_point> drawn;
    drawn.reserve(all.size());
    for (size_t i = 0; i < all.size(); i++) {
        const bool inside_run = i > 0 && i + 1 < all.size() && all[i - 1].value == all[i].value &&
                                all[i + 1].value == all[i].value;
        if (!inside_run)
            drawn.push_back(all[i]);
    }
    return drawn;
}
