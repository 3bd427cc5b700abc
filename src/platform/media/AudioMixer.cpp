#include "platform/media/AudioMixer.h"

#include "platform/media/detail/AudioTrackRenderer.h"

#include <algorithm>

namespace vexel::media {

struct AudioMixer::Impl {
    Composition composition;
    std::optional<AudioMix> audioMix;
    ParallelFor parallelFor;
    std::vector<std::unique_ptr<detail::AudioTrackRenderer>> renderers;
    std::vector<std::vector<float>> buffers;
    std::int64_t position = 0;
    std::int64_t end = 0;
};

AudioMixer::AudioMixer(Composition composition, std::optional<AudioMix> audioMix,
                       const MediaTime& start, ParallelFor parallelFor)
    : impl_(std::make_unique<Impl>()) {
    Impl& impl = *impl_;
    impl.composition = std::move(composition);
    impl.audioMix = std::move(audioMix);
    impl.parallelFor = std::move(parallelFor);
    impl.end = detail::sampleIndexAtOrAfter(impl.composition.duration(), sampleRate);
    impl.position =
        std::clamp<std::int64_t>(detail::sampleIndexAtOrAfter(start, sampleRate), 0, impl.end);
    for (const CompositionTrack* track : impl.composition.tracksWithMediaType(MediaType::audio)) {
        const AudioMixInputParameters* parameters =
            impl.audioMix ? impl.audioMix->parameters(track->trackID()) : nullptr;
        impl.renderers.push_back(
            std::make_unique<detail::AudioTrackRenderer>(*track, parameters, impl.position));
    }
    impl.buffers.resize(impl.renderers.size());
}

AudioMixer::~AudioMixer() = default;

std::int64_t AudioMixer::remainingFrames() const {
    return impl_->end - impl_->position;
}

std::optional<FloatAudioSamples> AudioMixer::next(std::size_t maxFrames) {
    Impl& impl = *impl_;
    auto frames = static_cast<std::size_t>(
        std::min<std::int64_t>(remainingFrames(), static_cast<std::int64_t>(maxFrames)));
    if (frames == 0) {
        return std::nullopt;
    }
    auto render = [&](std::size_t i) {
        impl.buffers[i].resize(frames * channelCount);
        impl.renderers[i]->render(impl.buffers[i].data(), frames);
    };
    if (impl.parallelFor && impl.renderers.size() > 1) {
        impl.parallelFor(impl.renderers.size(), render);
    } else {
        for (std::size_t i = 0; i < impl.renderers.size(); ++i) {
            render(i);
        }
    }
    FloatAudioSamples mixed;
    mixed.time = MediaTime(impl.position, sampleRate);
    mixed.sampleRate = sampleRate;
    mixed.channelCount = channelCount;
    mixed.samples.assign(frames * channelCount, 0.0f);
    for (const std::vector<float>& buffer : impl.buffers) {
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            mixed.samples[i] += buffer[i];
        }
    }
    impl.position += static_cast<std::int64_t>(frames);
    return mixed;
}

} // namespace vexel::media
