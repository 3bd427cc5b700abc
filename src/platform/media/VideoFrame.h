#pragma once

#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"

namespace vexel::media {

// A decoded picture and when it shows.
struct VideoFrame {
    PixelBuffer buffer;
    // Presentation time on the file's timeline, exact.
    MediaTime time;
    // How long it shows; zero when the file does not say.
    MediaTime duration;
};

} // namespace vexel::media
