#pragma once

#include "platform/media/CompositionReader.h"

#include <cstring>
#include <optional>

namespace vexel::testing {

// The frame at `time` of a composition as a reader newly opened at it
// composes it: what a seek there must show. Null when there is none.
inline media::PixelBuffer freshFrame(const media::Composition& composition,
                                     const media::VideoComposition& video,
                                     const media::MediaTime& time) {
    media::CompositionReader reader(
        composition, {.timeRange = media::MediaTimeRange{time, video.frameDuration}});
    reader.addVideoOutput(video);
    if (!reader.startReading()) {
        return {};
    }
    std::optional<media::VideoFrame> frame = reader.copyNextVideoFrame();
    return frame ? frame->buffer : media::PixelBuffer{};
}

// Whether two frames have the same size and every pixel alike, to the bit.
inline bool samePixels(const media::PixelBuffer& a, const media::PixelBuffer& b) {
    if (a.isNull() || b.isNull() || a.width() != b.width() || a.height() != b.height()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.width()) * 4) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace vexel::testing
