#include "presentation/views/preview/OverlayContentRect.h"

#include <algorithm>

namespace vexel {

QRectF OverlayContentRect::videoContentRect(QSizeF videoSize, QSizeF containerSize) {
    const double vw = videoSize.width();
    const double vh = videoSize.height();
    const double cw = containerSize.width();
    const double ch = containerSize.height();
    if (vw > 0 && vh > 0 && cw > 0 && ch > 0) {
        const double scale = std::min(cw / vw, ch / vh);
        const double w = vw * scale;
        const double h = vh * scale;
        return {(cw - w) * 0.5, (ch - h) * 0.5, w, h};
    }
    // Written so that a NaN side gives 1 as well.
    return {0, 0, cw > 1 ? cw : 1, ch > 1 ? ch : 1};
}

QRectF OverlayContentRect::contentRect(QSizeF videoSize, QSizeF containerSize) {
    const bool hasVideo = videoSize.width() > 0 && videoSize.height() > 0;
    return videoContentRect(hasVideo ? videoSize : containerSize, containerSize);
}

} // namespace vexel
