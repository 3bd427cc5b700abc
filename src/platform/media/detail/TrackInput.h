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

// Opens `track` of `asset` and its decoder, with `videoThreads` decoding a
// video track (0: one per core). Opening gives up when `interrupt` becomes
// true. Throws MediaError (cannotOpen, noSuchTrack, unsupported).
TrackInput openTrackInput(const Asset& asset, const AssetTrack& track, int videoThreads,
                          std::atomic<bool>& interrupt);

// Converts a decoded picture to opaque BGRA of its own size, in a buffer from
// `pool`, which is made (keeping `idle` released buffers) or remade when the
// size changes. Throws MediaError.
PixelBuffer toPixelBuffer(const AVFrame& frame, std::optional<PixelBufferPool>& pool,
                          ffmpeg::Scaler& scaler, std::size_t idle);

} // namespace vexel::media::detail
