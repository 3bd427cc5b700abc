#pragma once

#include "platform/media/Asset.h"
#include "platform/media/AudioSamples.h"
#include "platform/media/MediaError.h"
#include "platform/media/MediaTimeRange.h"
#include "platform/media/ReadingStatus.h"
#include "platform/media/VideoFrame.h"

#include <memory>
#include <optional>

namespace vexel::media {

// Decodes one track of a media file: a video track as BGRA frames with their
// exact presentation times, an audio track as interleaved signed 16-bit PCM.
// One consumer thread calls startReading and the copy operations;
// cancelReading, status and error may be called from any thread.
class AssetReader {
public:
    using Status = ReadingStatus;

    struct Options {
        // Only media that shows within this range: the frame showing at its
        // start and every later frame before its end; audio cut to the sample.
        std::optional<MediaTimeRange> timeRange{};
        // Audio is delivered at the track's own rate and channel count unless
        // these ask for others.
        std::optional<int> audioSampleRate{};
        std::optional<int> audioChannelCount{};
        // Threads that decode a video track; one per core when absent.
        std::optional<int> decoderThreads{};
    };

    // Throws MediaError (noSuchTrack) when the track is neither a video nor an
    // audio track of the asset, (invalidArgument) for a bad audio format.
    AssetReader(Asset asset, AssetTrack track, Options options);
    AssetReader(Asset asset, AssetTrack track);
    ~AssetReader();

    AssetReader(const AssetReader&) = delete;
    AssetReader& operator=(const AssetReader&) = delete;

    const AssetTrack& track() const;

    // Opens the file and its decoder. False when that fails (status failed,
    // error set), when reading was cancelled, or when it was already started.
    bool startReading();

    // The next frame of a video track, or nothing once reading has completed,
    // failed or been cancelled (see status). Throws std::logic_error on an
    // audio track.
    std::optional<VideoFrame> copyNextVideoFrame();
    // The next run of samples of an audio track; as above.
    std::optional<AudioSamples> copyNextAudioSamples();

    // Stops reading: the next copy returns nothing and the status becomes
    // cancelled unless reading had already completed or failed. Idempotent.
    void cancelReading();

    Status status() const;
    std::optional<MediaError> error() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vexel::media
