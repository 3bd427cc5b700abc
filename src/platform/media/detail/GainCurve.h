#pragma once

// A ParameterTimeline evaluated per sample, fast enough for every sample of a
// mix. Internal to the media layer.

#include "platform/media/ParameterTimeline.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vexel::media::detail {

// The first sample index at or after a time: ceil(time * rate), exactly.
std::int64_t sampleIndexAtOrAfter(const MediaTime& time, int rate);

class GainCurve {
public:
    // A null timeline is a gain of 1.
    GainCurve(const ParameterTimeline* timeline, int rate);

    // Multiplies `frames` interleaved frames, the first being sample index
    // `first`, by the gain at each.
    void apply(std::int64_t first, float* interleaved, std::size_t frames, int channels) const;

private:
    struct Piece {
        std::int64_t start;
        std::int64_t end; // ramps only
        double startSeconds;
        double durationSeconds;
        float from;
        float to;
    };
    float gainAt(const Piece& piece, std::int64_t sample) const;

    int rate_;
    std::optional<float> constant_;
    std::vector<Piece> pieces_;
};

} // namespace vexel::media::detail
