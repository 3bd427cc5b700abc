#pragma once

// The sound of one composition audio track from a given sample on: its
// segments decoded, resampled, sped up or slowed down keeping pitch, with its
// volume applied and silence in gaps. Internal to the media layer.

#include "platform/media/AssetReader.h"
#include "platform/media/AudioMix.h"
#include "platform/media/CompositionTrack.h"
#include "platform/media/detail/GainCurve.h"
#include "platform/media/detail/TempoFilter.h"

#include <memory>
#include <optional>
#include <vector>

namespace vexel::media::detail {

class AudioTrackRenderer {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channelCount = 2;

    // `track` must outlive the renderer. Sample n plays at n / 44100 s.
    AudioTrackRenderer(const CompositionTrack& track, const AudioMixInputParameters* parameters,
                       std::int64_t firstSample);

    // Writes the next `frames` interleaved frames. Throws MediaError when a
    // source cannot be read.
    void render(float* out, std::size_t frames);

private:
    struct Source {
        std::unique_ptr<AssetReader> reader;
        std::unique_ptr<TempoFilter> tempo;
        std::vector<float> ready;
        std::size_t offset = 0;
        bool ended = false;
    };

    void open(const CompositionTrackSegment& segment);
    // Fills `frames` frames from the open source, silence once it has ended.
    void take(float* out, std::size_t frames);
    void refill();

    const CompositionTrack& track_;
    GainCurve gain_;
    std::int64_t position_;
    std::size_t segmentIndex_ = 0;
    std::optional<Source> source_;
};

} // namespace vexel::media::detail
