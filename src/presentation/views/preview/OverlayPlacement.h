#pragma once

#include "domain/entities/Clip.h"
#include "platform/media/Geometry.h"
#include "platform/media/PixelBuffer.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include <optional>

namespace vexel {

// Where the preview draws an overlay: exactly where the export puts it in
// the frame, by the export's own placement and motion, with the frame mapped
// onto the picture's rectangle on screen. A frame of the render size W x H
// (origin bottom left, y up) lands on `rect` (origin top left, y down).
struct OverlayPlacement {
    // Maps the drawn image, `size` large with its origin at the top left and
    // y down, into the widget.
    QTransform toWidget;
    QSizeF size;
    // What stays visible (a wipe, a Ken Burns framing), in the widget; none
    // when nothing is cut.
    std::optional<QPainterPath> clip;
    double opacity = 1;

    // The drawn image's outline in the widget.
    QPolygonF outline() const;
    // The same moved by `offset` widget points, as a live drag shows it.
    OverlayPlacement translated(QPointF offset) const;

    // The map from the frame of `renderSize` onto `rect`.
    static QTransform frameToWidget(QRectF rect, media::Size renderSize);

    // A text clip whose text was measured `measured` points in the font and
    // box of `rect` (its font size times rect height / 450, its box width
    // times rect width), at playhead `time`: placed, scaled by its text scale,
    // moved, wiped and faded as the export does at that time. Nothing for a
    // box or numbers that leave no finite placement.
    static std::optional<OverlayPlacement> text(const Clip& clip, QSizeF measured, QRectF rect,
                                                media::Size renderSize, double time);
    // The selection frame of such a text: its placed and scaled box with a
    // margin of 4 points all round, moved by its animation.
    static QPolygonF textSelectionFrame(const Clip& clip, QSizeF measured, QRectF rect,
                                        media::Size renderSize, double time);

    // An image clip whose processed image (decoded, coloured, cropped) is
    // `image`, at any resolution: turned, fitted to the frame, placed by its
    // overlay transform and moved by its animation at `time`, as the export
    // does. Nothing for a clip without a file, an empty image or numbers that
    // leave no finite placement.
    static std::optional<OverlayPlacement> image(const Clip& clip, const media::PixelBuffer& image,
                                                 QRectF rect, media::Size renderSize, double time);

    // How much larger than at rest the clip's animation ever draws such an
    // image: the zoom's factor, or how far a Ken Burns framing enlarges it to
    // cover the frame; 1 for motions that do not enlarge it.
    static double animationZoom(const Clip& clip, const media::PixelBuffer& image,
                                media::Size renderSize);
};

} // namespace vexel
