#include "presentation/views/preview/PreviewFrameRenderer.h"

#include "platform/image/Compositing.h"
#include "platform/image/Picture.h"
#include "platform/media/Affine.h"
#include "presentation/cache/PixelBufferImage.h"

#include <utility>

namespace vexel {

namespace {

// Two buffers take turns: the one on screen and the one being drawn.
constexpr std::size_t kIdleBuffers = 2;

} // namespace

PreviewFrameRenderer::PreviewFrameRenderer(WorkerPool& workers)
    : workers_(workers) {}

void PreviewFrameRenderer::setFrame(media::PixelBuffer frame) {
    frame_ = std::move(frame);
    render();
}

void PreviewFrameRenderer::setTargetSize(QSize devicePixels) {
    if (devicePixels == targetSize_) {
        return;
    }
    targetSize_ = devicePixels;
    pool_.reset();
    render();
}

void PreviewFrameRenderer::render() {
    if (frame_.isNull() || targetSize_.width() < 1 || targetSize_.height() < 1 ||
        targetSize_.width() > media::PixelBuffer::maxDimension ||
        targetSize_.height() > media::PixelBuffer::maxDimension) {
        image_ = QImage();
        return;
    }
    if (!pool_) {
        pool_.emplace(targetSize_.width(), targetSize_.height(), kIdleBuffers);
    }
    // Every pixel is written, so an earlier frame's pixels need no clearing.
    media::PixelBuffer scaled = pool_->makeBufferForOverwrite();
    const image::Picture picture = image::Picture(frame_).transformed(
        media::Affine::scale(static_cast<double>(targetSize_.width()) / frame_.width(),
                             static_cast<double>(targetSize_.height()) / frame_.height()));
    image::renderInto(scaled, picture, workers_);
    image_ = imageOfPixels(scaled);
}

} // namespace vexel
