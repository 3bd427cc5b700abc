#include "data/composition/FrameCanvas.h"

#include "platform/image/Compositing.h"

#include <cstring>

namespace vexel {

FrameCanvas::FrameCanvas(media::PixelBuffer buffer, WorkerPool& workers)
    : buffer_(std::move(buffer))
    , workers_(workers) {}

void FrameCanvas::draw(const image::Picture& picture) {
    if (picture.isEmpty()) {
        return;
    }
    if (blank_) {
        image::renderInto(buffer_, picture, workers_);
        blank_ = false;
    } else {
        image::compositeOver(buffer_, picture, workers_);
    }
}

media::PixelBuffer FrameCanvas::finish() {
    if (blank_) {
        std::memset(buffer_.data(), 0, buffer_.byteCount());
        blank_ = false;
    }
    return std::move(buffer_);
}

} // namespace vexel
