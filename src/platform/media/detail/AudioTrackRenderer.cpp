#include "platform/media/detail/AudioTrackRenderer.h"

#include <algorithm>

namespace vexel::media::detail {

AudioTrackRenderer::AudioTrackRenderer(const CompositionTrack& track,
                                       const AudioMixInputParameters* parameters,
                                       std::int64_t firstSample)
    : track_(track)
    , gain_(parameters ? &parameters->volumeTimeline() : nullptr, sampleRate)
    , position_(firstSample) {}

void AudioTrackRenderer::render(float* out, std::size_t frames) {
    const std::int64_t first = position_;
    const auto& segments = track_.segments();
    std::size_t done = 0;
    while (done < frames) {
        while (segmentIndex_ < segments.size() &&
               sampleIndexAtOrAfter(segments[segmentIndex_].target.end(), sampleRate) <=
                   position_) {
            ++segmentIndex_;
            source_.reset();
        }
        float* into = out + done * channelCount;
        std::size_t wanted = frames - done;
        if (segmentIndex_ == segments.size()) {
            std::fill(into, into + wanted * channelCount, 0.0f);
            position_ += static_cast<std::int64_t>(wanted);
            break;
        }
        const CompositionTrackSegment& segment = segments[segmentIndex_];
        std::int64_t end = sampleIndexAtOrAfter(segment.target.end(), sampleRate);
        std::size_t count = std::min(wanted, static_cast<std::size_t>(end - position_));
        if (segment.isEmpty()) {
            std::fill(into, into + count * channelCount, 0.0f);
        } else {
            if (!source_) {
                open(segment);
            }
            take(into, count);
        }
        position_ += static_cast<std::int64_t>(count);
        done += count;
    }
    gain_.apply(first, out, frames, channelCount);
}

void AudioTrackRenderer::open(const CompositionTrackSegment& segment) {
    const AssetTrack* track = segment.sourceTrack();
    MediaTime start = segment.sourceTime(MediaTime(position_, sampleRate));
    Source source;
    if (!track || !(start < segment.source.end())) {
        source.ended = true;
        source_ = std::move(source);
        return;
    }
    AssetReader::Options options;
    options.timeRange = MediaTimeRange{start, segment.source.end() - start};
    options.audioSampleRate = sampleRate;
    options.audioChannelCount = channelCount;
    source.reader = std::make_unique<AssetReader>(*segment.asset, *track, options);
    if (!source.reader->startReading()) {
        throw source.reader->error().value_or(
            MediaError(MediaError::Kind::decodingFailed, "Cannot read audio"));
    }
    if (segment.source.duration != segment.target.duration) {
        double speed = segment.source.duration.seconds() / segment.target.duration.seconds();
        source.tempo = std::make_unique<TempoFilter>(speed, sampleRate, channelCount);
    }
    source_ = std::move(source);
}

void AudioTrackRenderer::refill() {
    Source& source = *source_;
    if (source.offset > 0) {
        source.ready.erase(source.ready.begin(),
                           source.ready.begin() + static_cast<std::ptrdiff_t>(source.offset));
        source.offset = 0;
    }
    std::optional<AudioSamples> samples = source.reader->copyNextAudioSamples();
    if (!samples) {
        if (source.reader->status() == AssetReader::Status::failed) {
            throw *source.reader->error();
        }
        if (source.tempo) {
            source.tempo->finish();
            source.tempo->pull(source.ready);
        }
        source.ended = true;
        return;
    }
    if (source.tempo) {
        source.tempo->push(samples->samples.data(), static_cast<int>(samples->frameCount()));
        source.tempo->pull(source.ready);
        return;
    }
    for (std::int16_t value : samples->samples) {
        source.ready.push_back(static_cast<float>(value) * (1.0f / 32768.0f));
    }
}

void AudioTrackRenderer::take(float* out, std::size_t frames) {
    Source& source = *source_;
    std::size_t needed = frames * channelCount;
    while (!source.ended && source.ready.size() - source.offset < needed) {
        refill();
    }
    std::size_t available = std::min(needed, source.ready.size() - source.offset);
    auto from = source.ready.begin() + static_cast<std::ptrdiff_t>(source.offset);
    std::copy(from, from + static_cast<std::ptrdiff_t>(available), out);
    std::fill(out + available, out + needed, 0.0f);
    source.offset += available;
}

} // namespace vexel::media::detail
