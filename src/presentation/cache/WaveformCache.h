#pragma once

#include "presentation/cache/LruCache.h"
#include "presentation/cache/PathHash.h"
#include "presentation/cache/WaveformSamples.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace vexel {

// The extracted waveforms of the timeline's clip bars by file, so that
// scrolling and zooming do not extract again. A bar looks its file up; on a
// miss it extracts and stores. GUI thread only.
class WaveformCache {
public:
    static constexpr std::size_t defaultCountLimit = 50;
    static constexpr std::size_t defaultTotalCostLimit = 10 * 1024 * 1024;

    explicit WaveformCache(std::size_t countLimit = defaultCountLimit,
                           std::size_t totalCostLimit = defaultTotalCostLimit)
        : cache_(countLimit, totalCostLimit) {}

    // Null on a miss.
    std::shared_ptr<const WaveformSamples> samples(const std::filesystem::path& file) {
        return cache_.object(file).value_or(nullptr);
    }

    // Keeps the values of the file at a cost of 4 bytes a value, and returns
    // them as they are shared from now on.
    std::shared_ptr<const WaveformSamples> store(const std::filesystem::path& file,
                                                 std::vector<float> values) {
        auto samples = std::make_shared<const WaveformSamples>(std::move(values));
        cache_.setObject(file, samples, samples->values().size() * sizeof(float));
        return samples;
    }

    std::size_t count() const { return cache_.count(); }
    std::size_t totalCost() const { return cache_.totalCost(); }

private:
    LruCache<std::filesystem::path, std::shared_ptr<const WaveformSamples>, PathHash> cache_;
};

} // namespace vexel
