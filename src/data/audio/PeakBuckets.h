#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vexel {

// Spreads a stream of signed 16-bit values over a fixed number of buckets and
// keeps the peak amplitude of each, as a value in 0...1. Value number n falls
// into bucket min(n / P, bucketCount - 1), where P is the expected number of
// values per bucket (1 when fewer values than buckets are expected): values
// beyond the expectation all land in the last bucket.
class PeakBuckets {
public:
    // Throws std::invalid_argument unless both counts are at least 1.
    PeakBuckets(int bucketCount, std::int64_t expectedValueCount);

    void add(std::span<const std::int16_t> values);

    // Values added so far.
    std::int64_t valueCount() const { return valueCount_; }
    const std::vector<float>& peaks() const { return peaks_; }
    std::vector<float> takePeaks() { return std::move(peaks_); }

private:
    std::vector<float> peaks_;
    std::int64_t valuesPerBucket_;
    std::int64_t valueCount_ = 0;
};

} // namespace vexel
