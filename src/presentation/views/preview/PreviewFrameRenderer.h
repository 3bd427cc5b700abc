#pragma once

#include "foundation/WorkerPool.h"
#include "platform/media/PixelBuffer.h"

#include <QImage>
#include <QSize>

#include <optional>

namespace vexel {

// Scales the player's last frame to the size the picture takes on screen, in
// device pixels, once per frame and once per resize, so that painting only
// copies. The scaled frames come from a pool of that size and are drawn on
// `workers` (the caller works along). GUI thread only.
class PreviewFrameRenderer {
public:
    explicit PreviewFrameRenderer(WorkerPool& workers);

    // A new frame to show; kept so that a resize can scale it again. A null
    // buffer shows nothing.
    void setFrame(media::PixelBuffer frame);
    // The size of the picture on screen, in device pixels; an empty size shows
    // nothing.
    void setTargetSize(QSize devicePixels);

    QSize targetSize() const { return targetSize_; }
    // The last frame scaled to the target size, its pixels shared with the
    // pool's buffer; null before there is both a frame and a target size.
    const QImage& image() const { return image_; }

private:
    void render();

    WorkerPool& workers_;
    media::PixelBuffer frame_;
    QSize targetSize_;
    std::optional<media::PixelBufferPool> pool_;
    QImage image_;
};

} // namespace vexel
