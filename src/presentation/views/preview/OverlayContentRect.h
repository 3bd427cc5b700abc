#pragma once

#include <QRectF>
#include <QSizeF>

namespace vexel {

// Where the picture lies inside the preview: the video fitted whole into the
// container and centred, with bars on two opposite sides when the shapes
// differ. The overlays are placed, and their drags measured, against this
// rectangle rather than the whole preview. Only the video's shape matters,
// so its size may be in pixels or points.
struct OverlayContentRect {
    OverlayContentRect() = delete;

    // The fitted rectangle in container coordinates, unrounded. Without a
    // positive video and container size, the whole container, never smaller
    // than 1 x 1, so that dividing by its sides stays defined.
    static QRectF videoContentRect(QSizeF videoSize, QSizeF containerSize);

    // The same, with the container standing for the video when the video has
    // no positive size yet: the rectangle the overlays use.
    static QRectF contentRect(QSizeF videoSize, QSizeF containerSize);
};

} // namespace vexel
