#pragma once

// The frame a composition video track shows at a time, decoding its segments
// as time moves on. Internal to the media layer.

#include "platform/media/AssetReader.h"
#include "platform/media/CompositionTrack.h"

#include <atomic>
#include <memory>
#include <optional>

namespace vexel::media::detail {

class TrackFrameSource {
public:
    // `track` must outlive the source.
    explicit TrackFrameSource(const CompositionTrack& track);

    // The frame showing at `time`: a null buffer in a gap, before or after the
    // track, and where the media has ended. Fastest for increasing times; an
    // earlier time than the last opens the media again. Throws MediaError
    // when a source cannot be read.
    PixelBuffer frameAt(const MediaTime& time);

    // Stops a decode in progress from another thread.
    void cancel();

private:
    const CompositionTrack& track_;
    const CompositionTrackSegment* segment_ = nullptr;
    std::unique_ptr<AssetReader> reader_;
    std::optional<VideoFrame> current_;
    std::optional<VideoFrame> next_;
    std::atomic<bool> cancelled_{false};
};

} // namespace vexel::media::detail
