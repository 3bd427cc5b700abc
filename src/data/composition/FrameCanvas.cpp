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

void FrameCanvas::drawMix(const image::Picture& lower, const image::Picture& upper,
                          media::PixelBuffer scratch) {
    if (blank_) {
        image::renderInto(buffer_, lower, workers_);
        image::addOnto(buffer_, upper, workers_);
        blank_ = false;
        return;
    }
    image::renderInto(scratch, lower, workers_);
    image::addOnto(scratch, upper, workers_);
    image::compositeOver(buffer_, image::Picture(std::move(scratch)), workers_);
}

media::PixelBuffer FrameCanvas::finish() {
    if (blank_) {
        std::memset(buffer_.data(), 0, buffer_.byteCount());
        blank_ = false;
    }
    return std::move(buffer_);
}

} // namespace vexel
