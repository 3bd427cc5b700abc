#pragma once

// A media file opened for decoding one of its tracks, and the conversion of a
// decoded picture to the layer's pixels: what every reader of a file does
// first and last. Internal to the media layer.

#include "platform/media/Asset.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/Scaler.h"

#include <atomic>
#include <optional>

namespace vexel::media::detail {

struct TrackInput {
    ffmpeg::InputContextPtr format;
    // The track's stream; every other stream of the file is discarded.
    AVStream* stream = nullptr;
    ffmpeg::CodecContextPtr decoder;
};

// A timestamp of `stream` on the timeline of `asset`, and back (rounded as
// asked): the asset's times count from its timeline's start.
MediaTime assetTime(const AVStream& stream, const Asset& asset, std::int64_t timestamp);
std::int64_t streamTime(const AVStream& stream, const Asset& asset, const MediaTime& time,
                        AVRounding rounding);

// Opens `track` of `asset` and its decoder, with `videoThreads` decoding a
// video track (0: one per core). Opening gives up when `interrupt` becomes
// true. Throws MediaError (cannotOpen, noSuchTrack, unsupported).
TrackInput openTrackInput(const Asset& asset, const AssetTrack& track, int videoThreads,
                          std::atomic<bool>& interrupt);

// Seeks `format` to the key frame at or before `timestamp` of `stream`, or
// to the start of the file where that fails.
void seekBefore(AVFormatContext& format, const AVStream& stream, std::int64_t timestamp);

// Whether a seek to `point` went too far: the first frame decoded after it
// (at `first`) is later than the one asked for (`target`), though an earlier
// one exists. Seeking in a transport stream lands on any packet, which need
// not be a key frame, and the decoder then skips to the next one.
bool landedLate(const AVStream& stream, std::int64_t point, std::int64_t target,
                std::int64_t first);
// Where to seek instead after the `attempt`th (from 1) such landing: a
// second before `point`, then two seconds before the point after that, four…
std::int64_t earlierSeekPoint(const AVStream& stream, std::int64_t point, int attempt);

// How wide a picture stored `storedWidth` pixels wide shows in square pixels.
int displayWidth(int storedWidth, const AssetTrack& track);

// Converts a decoded picture of `track` to opaque BGRA of its size as shown
// (see displayWidth), in a buffer from `pool`, which is made (keeping `idle`
// released buffers) or remade when the size changes. Throws MediaError.
PixelBuffer toPixelBuffer(const AVFrame& frame, const AssetTrack& track,
                          std::optional<PixelBufferPool>& pool, ffmpeg::Scaler& scaler,
                          std::size_t idle);

} // namespace vexel::media::detail
