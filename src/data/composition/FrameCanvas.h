#pragma once

#include "foundation/WorkerPool.h"
#include "platform/image/Picture.h"
#include "platform/media/PixelBuffer.h"

namespace vexel {

// One output frame of the frame compositor while it is drawn, bottom layer
// first, in the bottom-up canvas space. Starts transparent. The first picture
// is rendered into the buffer (every pixel written at once, so the buffer
// need not be cleared first); later ones are composited over it.
class FrameCanvas {
public:
    // `buffer` may hold anything: nothing of it is kept.
    FrameCanvas(media::PixelBuffer buffer, WorkerPool& workers);

    FrameCanvas(const FrameCanvas&) = delete;
    FrameCanvas& operator=(const FrameCanvas&) = delete;

    // Draws `picture` over what is there (source-over). An empty picture
    // changes nothing.
    void draw(const image::Picture& picture);

    // The finished frame: transparent wherever nothing was drawn.
    media::PixelBuffer finish();

private:
    media::PixelBuffer buffer_;
    WorkerPool& workers_;
    bool blank_ = true;
};

} // namespace vexel
