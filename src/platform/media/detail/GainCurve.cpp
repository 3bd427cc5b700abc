#include "platform/media/detail/GainCurve.h"

#include <algorithm>

namespace vexel::media::detail {

std::int64_t sampleIndexAtOrAfter(const MediaTime& time, int rate) {
    __extension__ using Wide = __int128;
    Wide scaled = static_cast<Wide>(time.value()) * rate;
    Wide quotient = scaled / time.timescale();
    if (scaled % time.timescale() > 0) {
        ++quotient;
    }
    return static_cast<std::int64_t>(quotient);
}

GainCurve::GainCurve(const ParameterTimeline* timeline, int rate)
    : rate_(rate) {
    if (!timeline) {
        constant_ = 1.0f;
        return;
    }
    constant_ = timeline->constantValue();
    for (const ParameterTimeline::Change& change : timeline->changes()) {
        pieces_.push_back({sampleIndexAtOrAfter(change.start, rate),
                           sampleIndexAtOrAfter(change.start + change.duration, rate),
                           change.start.seconds(), change.duration.seconds(), change.from,
                           change.to});
    }
}

float GainCurve::gainAt(const Piece& piece, std::int64_t sample) const {
    if (sample < piece.end) {
        double progress =
            (static_cast<double>(sample) / rate_ - piece.startSeconds) / piece.durationSeconds;
        return piece.from + (piece.to - piece.from) * static_cast<float>(progress);
    }
    return piece.to;
}

void GainCurve::apply(std::int64_t first, float* interleaved, std::size_t frames,
                      int channels) const {
    auto count = frames * static_cast<std::size_t>(channels);
    if (constant_) {
        if (*constant_ != 1.0f) {
            std::transform(interleaved, interleaved + count, interleaved,
                           [gain = *constant_](float v) { return v * gain; });
        }
        return;
    }
    // The last piece that has started: none before the first, where the gain is 1.
    auto next = std::upper_bound(pieces_.begin(), pieces_.end(), first,
                                 [](std::int64_t s, const Piece& p) { return s < p.start; });
    for (std::size_t i = 0; i < frames; ++i) {
        std::int64_t sample = first + static_cast<std::int64_t>(i);
        while (next != pieces_.end() && next->start <= sample) {
            ++next;
        }
        float gain = next == pieces_.begin() ? 1.0f : gainAt(*(next - 1), sample);
        float* frame = interleaved + i * static_cast<std::size_t>(channels);
        for (int c = 0; c < channels; ++c) {
            frame[c] *= gain;
        }
    }
}

} // namespace vexel::media::detail
