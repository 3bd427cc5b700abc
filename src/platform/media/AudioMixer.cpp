#include "platform/media/AudioMixer.h"

#include "platform/media/detail/AudioTrackRenderer.h"

#include <algorithm>

namespace vexel::media {

namespace {

// The tracks are mixed in at most this many groups, each into a sum of its
// own, side by side: a project of thousands of clips has as many tracks, and
// a buffer for each took hundreds of megabytes a run. With no more tracks than
// this, each group is one track and the sum is the tracks' in their order.
constexpr std::size_t maxGroups = 16;

} // namespace

struct AudioMixer::Impl {
    Composition composition;
    std::optional<AudioMix> audioMix;
    ParallelFor parallelFor;
    std::vector<std::unique_ptr<detail::AudioTrackRenderer>> renderers;
    // Per group: its sum, and the track rendered before it is added.
    std::vector<std::vector<float>> sums;
    std::vector<std::vector<float>> scratch;
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
    const std::size_t groups = std::min(impl.renderers.size(), maxGroups);
    impl.sums.resize(groups);
    impl.scratch.resize(groups);
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
    const std::size_t tracks = impl.renderers.size();
    const std::size_t groups = impl.sums.size();
    const std::size_t samples = frames * channelCount;
    auto render = [&](std::size_t group) {
        std::vector<float>& sum = impl.sums[group];
        sum.resize(samples);
        const std::size_t first = group * tracks / groups;
        const std::size_t last = (group + 1) * tracks / groups;
        impl.renderers[first]->render(sum.data(), frames);
        if (last - first > 1) {
            std::vector<float>& track = impl.scratch[group];
            track.resize(samples);
            for (std::size_t i = first + 1; i < last; ++i) {
                impl.renderers[i]->render(track.data(), frames);
                for (std::size_t k = 0; k < samples; ++k) {
                    sum[k] += track[k];
                }
            }
        }
    };
    if (impl.parallelFor && groups > 1) {
        impl.parallelFor(groups, render);
    } else {
        for (std::size_t group = 0; group < groups; ++group) {
            render(group);
        }
    }
    FloatAudioSamples mixed;
    mixed.time = MediaTime(impl.position, sampleRate);
    mixed.sampleRate = sampleRate;
    mixed.channelCount = channelCount;
    mixed.samples.assign(samples, 0.0f);
    for (const std::vector<float>& sum : impl.sums) {
        for (std::size_t i = 0; i < samples; ++i) {
            mixed.samples[i] += sum[i];
        }
    }
    impl.position += static_cast<std::int64_t>(frames);
    return mixed;
}

} // namespace vexel::media
