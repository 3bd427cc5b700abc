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

    // Draws the sum of two pictures, each already weighted by its share of a
    // cross-dissolve (1 − p and p), over what is there: their linear mix,
    // which source-over of one over the other is not. Over a canvas that has
    // something on it already, the mix is made in `scratch`, a buffer of the
    // canvas's size whose pixels may hold anything.
    void drawMix(const image::Picture& lower, const image::Picture& upper,
                 media::PixelBuffer scratch);

    // Whether nothing has been drawn yet: a mix then needs no scratch buffer.
    bool isBlank() const { return blank_; }

    // The finished frame: transparent wherever nothing was drawn.
    media::PixelBuffer finish();

private:
    media::PixelBuffer buffer_;
    WorkerPool& workers_;
    bool blank_ = true;
};

} // namespace vexel
