#include "presentation/views/preview/OverlayGestures.h"

#include <algorithm>

namespace vexel {

double OverlayGestures::clamp01(double value) {
    return value > 0 ? std::min(value, 1.0) : 0.0;
}

double OverlayGestures::clampScale(double value) {
    return value > minScale ? std::min(value, maxScale) : minScale;
}

QPointF OverlayGestures::textCentre(const TextPosition& position) {
    switch (position.kind()) {
    case TextPosition::Kind::top:
        return {0.5, topFraction};
    case TextPosition::Kind::center:
        return {0.5, 0.5};
    case TextPosition::Kind::bottom:
        return {0.5, bottomFraction};
    case TextPosition::Kind::custom:
        return {clamp01(position.x()), clamp01(position.y())};
    }
    return {0.5, bottomFraction};
}

QPointF OverlayGestures::textDragged(const TextPosition& position, QSizeF translation,
                                     QRectF rect) {
    const QPointF centre = textCentre(position);
    const double x = rect.left() + centre.x() * rect.width();
    const double y = rect.top() + centre.y() * rect.height();
    return {clamp01((x + translation.width() - rect.left()) / rect.width()),
            clamp01((y + translation.height() - rect.top()) / rect.height())};
}

QPointF OverlayGestures::textNudged(const TextPosition& position, double dx, double dy) {
    const QPointF centre = textCentre(position);
    return {clamp01(centre.x() + dx), clamp01(centre.y() + dy)};
}

double OverlayGestures::textPinched(std::optional<double> scale, double magnification) {
    return clampScale(scale.value_or(1.0) * magnification);
}

double OverlayGestures::textStepped(std::optional<double> scale, double delta) {
    return clampScale(scale.value_or(1.0) + delta);
}

OverlayTransform OverlayGestures::imageDragged(const OverlayTransform& base, QSizeF translation,
                                               QRectF rect, double liveScale) {
    return {clamp01(base.x + translation.width() / rect.width()),
            clamp01(base.y + translation.height() / rect.height()), base.scale * liveScale};
}

OverlayTransform OverlayGestures::imagePinched(const OverlayTransform& base, double magnification,
                                               QPointF dragShare) {
    return {clamp01(base.x + dragShare.x()), clamp01(base.y + dragShare.y()),
            clampScale(base.scale * magnification)};
}

OverlayTransform OverlayGestures::imageNudged(const OverlayTransform& base, double dx, double dy) {
    return {clamp01(base.x + dx), clamp01(base.y + dy), base.scale};
}

OverlayTransform OverlayGestures::imageStepped(const OverlayTransform& base, double delta) {
    return {base.x, base.y, clampScale(base.scale + delta)};
}

} // namespace vexel
