#include "presentation/views/preview/OverlayPlacement.h"

#include "data/composition/ExportCompositionBuilder.h"
#include "data/composition/ImageOverlayRenderer.h"
#include "data/composition/OverlayRenderer.h"
#include "data/composition/TextOverlayRenderer.h"
#include "domain/utilities/TextAnimationCalculator.h"
#include "platform/media/Affine.h"
#include "platform/media/MediaTime.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace vexel {

namespace {

using media::Affine;

QTransform toQt(const Affine& t) {
    return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty);
}

QPolygonF corners(const media::Rect& rect) {
    return QPolygonF(QRectF(rect.minX(), rect.minY(), rect.size.width, rect.size.height));
}

bool isUsable(QRectF rect, media::Size renderSize) {
    return rect.width() > 0 && rect.height() > 0 && renderSize.width > 0 && renderSize.height > 0;
}

struct TextGeometry {
    // The measured box (frame pixels, origin at its bottom left) into the
    // frame: placed, scaled, moved.
    Affine boxToFrame;
    media::Size box;
    // The placed box before the animation moves it.
    media::Rect placed;
    Affine motion;
    std::optional<media::Rect> wipe;
    double opacity = 1;
};

std::optional<TextGeometry> textGeometry(const Clip& clip, QSizeF measured, QRectF rect,
                                         media::Size renderSize, double time) {
    if (!isUsable(rect, renderSize) || !(measured.width() > 0 && measured.height() > 0)) {
        return std::nullopt;
    }
    // Points on screen per frame pixel.
    const double scale = rect.height() / renderSize.height;
    const ColorAdjustInstruction::TextOverlayEntry entry =
        ExportCompositionBuilder::textOverlayEntry(clip);
    TextGeometry geometry;
    geometry.box = {measured.width() / scale, measured.height() / scale};
    const std::optional<Affine> placement =
        OverlayRenderer::textPlacement(geometry.box, entry, renderSize);
    if (!placement) {
        return std::nullopt;
    }
    geometry.boxToFrame = *placement;
    geometry.placed = placement->apply(media::Rect{{0, 0}, geometry.box});
    geometry.motion = Affine::identity();
    if (entry.textAnimation) {
        const double start = entry.fadeTiming.compositionStartTime.seconds();
        const double duration = entry.fadeTiming.compositionEndTime.seconds() - start;
        const TextAnimationState state =
            TextAnimationCalculator::calculate(*entry.textAnimation, time - start, duration);
        geometry.motion =
            TextOverlayRenderer::animationTransform(geometry.placed, state, renderSize);
        geometry.boxToFrame = geometry.boxToFrame.then(geometry.motion);
        if (state.maskProgress) {
            geometry.wipe = TextOverlayRenderer::wipeRect(
                geometry.motion.apply(geometry.placed), *state.maskProgress,
                state.maskDirection.value_or(Direction::left));
        }
        geometry.opacity = std::isfinite(state.opacity) ? std::clamp(state.opacity, 0.0, 1.0) : 1;
    }
    return geometry;
}

} // namespace

QPolygonF OverlayPlacement::outline() const {
    return toWidget.map(QPolygonF(QRectF(QPointF(0, 0), size)));
}

OverlayPlacement OverlayPlacement::translated(QPointF offset) const {
    OverlayPlacement moved = *this;
    const QTransform shift = QTransform::fromTranslate(offset.x(), offset.y());
    moved.toWidget *= shift;
    if (moved.clip) {
        moved.clip = shift.map(*moved.clip);
    }
    return moved;
}

QTransform OverlayPlacement::frameToWidget(QRectF rect, media::Size renderSize) {
    return QTransform(rect.width() / renderSize.width, 0, 0, -rect.height() / renderSize.height,
                      rect.left(), rect.bottom());
}

std::optional<OverlayPlacement> OverlayPlacement::text(const Clip& clip, QSizeF measured,
                                                       QRectF rect, media::Size renderSize,
                                                       double time) {
    const std::optional<TextGeometry> geometry =
        textGeometry(clip, measured, rect, renderSize, time);
    if (!geometry) {
        return std::nullopt;
    }
    const QTransform frame = frameToWidget(rect, renderSize);
    OverlayPlacement placement;
    placement.size = measured;
    // The drawn box, y down in points, into the box's frame pixels, y up.
    const QTransform drawnToBox(1 / (measured.width() / geometry->box.width), 0, 0,
                                -1 / (measured.height() / geometry->box.height), 0,
                                geometry->box.height);
    placement.toWidget = drawnToBox * toQt(geometry->boxToFrame) * frame;
    if (geometry->wipe) {
        QPainterPath kept;
        kept.addPolygon(frame.map(corners(*geometry->wipe)));
        placement.clip = kept;
    }
    placement.opacity = geometry->opacity * clip.effectiveOpacity(time);
    return placement;
}

QPolygonF OverlayPlacement::textSelectionFrame(const Clip& clip, QSizeF measured, QRectF rect,
                                               media::Size renderSize, double time) {
    const std::optional<TextGeometry> geometry =
        textGeometry(clip, measured, rect, renderSize, time);
    if (!geometry) {
        return {};
    }
    const double margin = 4 * renderSize.height / rect.height();
    const media::Rect& placed = geometry->placed;
    const media::Rect framed{{placed.minX() - margin, placed.minY() - margin},
                             {placed.size.width + 2 * margin, placed.size.height + 2 * margin}};
    return frameToWidget(rect, renderSize).map(toQt(geometry->motion).map(corners(framed)));
}

std::optional<OverlayPlacement> OverlayPlacement::image(const Clip& clip,
                                                        const media::PixelBuffer& image,
                                                        QRectF rect, media::Size renderSize,
                                                        double time) {
    if (!isUsable(rect, renderSize) || image.isNull()) {
        return std::nullopt;
    }
    const std::optional<ColorAdjustInstruction::ImageOverlayEntry> entry =
        ExportCompositionBuilder::imageOverlayEntry(clip);
    if (!entry) {
        return std::nullopt;
    }
    std::optional<image::Picture> picture =
        OverlayRenderer::positionImageOverlay(image, *entry, renderSize);
    if (!picture) {
        return std::nullopt;
    }
    if (entry->imageAnimation) {
        picture =
            ImageOverlayRenderer::applyAnimation(*picture, *entry->imageAnimation, *entry,
                                                 renderSize, media::MediaTime::fromSeconds(time));
    }
    const QTransform frame = frameToWidget(rect, renderSize);
    OverlayPlacement placement;
    placement.size = QSizeF(image.width(), image.height());
    // Pixel rows run down; the picture's own space runs up.
    const QTransform rowsUp(1, 0, 0, -1, 0, image.height());
    placement.toWidget = rowsUp * toQt(picture->transform()) * frame;
    for (const image::Picture::Clip& cut : picture->clips()) {
        const std::optional<Affine> back = cut.canvasToClip.inverted();
        if (!back) {
            return std::nullopt;
        }
        QPainterPath kept;
        kept.addPolygon(frame.map(toQt(*back).map(corners(cut.rect))));
        placement.clip = placement.clip ? placement.clip->intersected(kept) : kept;
    }
    placement.opacity = picture->alpha() * clip.effectiveOpacity(time);
    return placement;
}

double OverlayPlacement::animationZoom(const Clip& clip, const media::PixelBuffer& image,
                                       media::Size renderSize) {
    if (!clip.imageAnimation || image.isNull()) {
        return 1;
    }
    const ImageAnimationType& type = clip.imageAnimation->type;
    double zoom = 1;
    if (const auto* in = std::get_if<ImageAnimationType::ZoomIn>(&type.payload())) {
        zoom = in->factor;
    } else if (const auto* out = std::get_if<ImageAnimationType::ZoomOut>(&type.payload())) {
        zoom = out->factor;
    } else if (const auto* burns = std::get_if<ImageAnimationType::KenBurns>(&type.payload())) {
        std::optional<ColorAdjustInstruction::ImageOverlayEntry> entry =
            ExportCompositionBuilder::imageOverlayEntry(clip);
        if (!entry) {
            return 1;
        }
        const std::optional<image::Picture> placed =
            OverlayRenderer::positionImageOverlay(image, *entry, renderSize);
        if (!placed) {
            return 1;
        }
        // A framing enlarged to cover the frame, at either end of the move
        // (between them its sides change linearly, so the ends are the most).
        const media::Rect extent = placed->extent();
        for (const NormalizedRect& framing : {burns->from, burns->to}) {
            zoom =
                std::max(zoom, std::max(renderSize.width / (framing.width * extent.size.width),
                                        renderSize.height / (framing.height * extent.size.height)));
        }
    }
    return std::isfinite(zoom) ? std::max(zoom, 1.0) : 1.0;
}

} // namespace vexel
