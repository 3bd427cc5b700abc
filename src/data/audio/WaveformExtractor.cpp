#include "data/audio/WaveformExtractor.h"

#include "data/audio/PeakBuckets.h"
#include "data/audio/WaveformExtractorError.h"
#include "foundation/CancellationError.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"

#include <algorithm>
#include <limits>

namespace vexel {

namespace {

constexpr int fallbackSampleRate = 44100;
// Beyond this a double no longer tells every count apart.
constexpr double largestValueCount = 9007199254740992.0; // 2^53

std::string describe(const std::optional<media::MediaError>& error, const char* fallback) {
    return error ? error->message() : std::string(fallback);
}

} // namespace

std::optional<std::int64_t> WaveformExtractor::estimatedValueCount(const media::MediaTime& duration,
                                                                   int sampleRate,
                                                                   int channelCount) {
    if (!(duration > media::MediaTime::zero())) {
        return std::nullopt;
    }
    const std::int64_t perSecond =
        std::int64_t{sampleRate > 0 ? sampleRate : fallbackSampleRate} * std::max(channelCount, 1);
    // No real format comes near 2^31 values a second; a damaged header may.
    if (perSecond > std::numeric_limits<std::int32_t>::max() ||
        !(duration.seconds() * static_cast<double>(perSecond) < largestValueCount)) {
        return std::nullopt;
    }
    // Exact, so that a whole number of seconds counts every value: whole
    // ticks of the timescale first, then the rest (both products fit, as the
    // count is below 2^53 and the rest and the rate below 2^31).
    const std::int64_t ticks = duration.value();
    const std::int64_t timescale = duration.timescale();
    const std::int64_t count =
        ticks / timescale * perSecond + ticks % timescale * perSecond / timescale;
    return std::max<std::int64_t>(count, 1);
}

std::vector<float> WaveformExtractor::extract(const std::filesystem::path& url, int bucketCount,
                                              std::stop_token stop) {
    if (bucketCount < 1) {
        return {};
    }
    const int buckets = std::min(bucketCount, maxBucketCount);

    const media::Asset asset = media::Asset::load(url);
    const std::optional<media::AssetTrack> track = asset.firstTrack(media::MediaType::audio);
    if (!track) {
        return {};
    }
    // Counting values by the track's own rate and channels keeps stereo and
    // 48 kHz sound spread over every bucket instead of piling up in the last.
    const std::optional<std::int64_t> expected =
        estimatedValueCount(asset.duration, track->sampleRate, track->channelCount);
    if (!expected) {
        return {};
    }

    std::optional<media::AssetReader> reader;
    try {
        reader.emplace(asset, *track);
    } catch (const media::MediaError& error) {
        throw WaveformExtractorError::cannotCreateReader(error.message());
    }
    // Interrupts a long read or seek inside the reader as well.
    std::stop_callback cancelReading(stop, [&reader] { reader->cancelReading(); });
    if (!reader->startReading()) {
        throwIfCancelled(stop);
        throw WaveformExtractorError::readFailed(describe(reader->error(), "Unknown error"));
    }

    PeakBuckets peaks(buckets, *expected);
    while (true) {
        throwIfCancelled(stop);
        std::optional<media::AudioSamples> chunk = reader->copyNextAudioSamples();
        if (!chunk) {
            break;
        }
        peaks.add(chunk->samples);
    }
    throwIfCancelled(stop);
    if (reader->status() != media::AssetReader::Status::completed) {
        throw WaveformExtractorError::readFailed(
            describe(reader->error(), "Reading did not complete"));
    }
    if (peaks.valueCount() == 0) {
        return {};
    }
    return peaks.takePeaks();
}

} // namespace vexel
