#include "data/audio/PeakBuckets.h"

#include <algorithm>
#include <stdexcept>

namespace vexel {

namespace {

// The largest |value| of a run, with -32768 counted as 32767 so that a full
// scale peak reads exactly 1.0. Two running extremes instead of a per-value
// abs keep the loop free of branches.
int peakAmplitude(const std::int16_t* values, std::size_t count) {
    std::int16_t lowest = 0;
    std::int16_t highest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        lowest = std::min(lowest, values[i]);
        highest = std::max(highest, values[i]);
    }
    return std::min(std::max<int>(highest, -static_cast<int>(lowest)), 32767);
}

} // namespace

PeakBuckets::PeakBuckets(int bucketCount, std::int64_t expectedValueCount) {
    if (bucketCount < 1 || expectedValueCount < 1) {
        throw std::invalid_argument("PeakBuckets needs at least one bucket and one value");
    }
    peaks_.assign(static_cast<std::size_t>(bucketCount), 0.0f);
    valuesPerBucket_ = bucketCount <= expectedValueCount ? expectedValueCount / bucketCount : 1;
}

void PeakBuckets::add(std::span<const std::int16_t> values) {
    const auto lastBucket = static_cast<std::int64_t>(peaks_.size()) - 1;
    const std::int16_t* next = values.data();
    std::size_t left = values.size();
    // Whole runs of one bucket at a time: the peak of a run is its largest
    // amplitude, and dividing by 32767 keeps that order.
    while (left > 0) {
        std::int64_t bucket = std::min(valueCount_ / valuesPerBucket_, lastBucket);
        std::size_t run = left;
        if (bucket < lastBucket) {
            auto toBucketEnd =
                static_cast<std::size_t>((bucket + 1) * valuesPerBucket_ - valueCount_);
            run = std::min(run, toBucketEnd);
        }
        float peak = static_cast<float>(peakAmplitude(next, run)) / 32767.0f;
        float& kept = peaks_[static_cast<std::size_t>(bucket)];
        kept = std::max(kept, peak);
        next += run;
        left -= run;
        valueCount_ += static_cast<std::int64_t>(run);
    }
}

} // namespace vexel
