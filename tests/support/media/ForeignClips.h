#pragma once

#include "support/ForeignMedia.h"
#include "support/media/FrameAt.h"

#include <string>
#include <utility>

// What tests of media from other programs write and read back: picture tracks
// of the writer's default painting, and its grey level.
namespace vexel::testing {

// libx264 as quick as it goes.
inline Options quickX264() {
    return {{"preset", "ultrafast"}};
}

// `frames` of the default painting at 25 a second.
inline ForeignVideo foreignPicture(std::string encoder, int frames, int width, int height,
                                   Options options = {}) {
    return ForeignVideo{.encoder = std::move(encoder),
                        .width = width,
                        .height = height,
                        .frameCount = frames,
                        .options = std::move(options)};
}

// The grey level of the painting's left half, away from its mark: the
// frame's foreignFrameLevel.
inline double paintedGreyLevel(const media::PixelBuffer& frame) {
    const int w = frame.width();
    const int h = frame.height();
    return meanLevel(frame, w / 10, h / 5, 2 * w / 5, 4 * h / 5);
}

} // namespace vexel::testing
