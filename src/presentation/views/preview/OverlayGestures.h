#pragma once

#include "domain/entities/OverlayTransform.h"
#include "domain/entities/TextPosition.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace vexel {

// What a finished gesture or key press on a preview overlay reports: new
// positions as fractions of the picture from its top-left corner (kept to
// 0...1) and new scales (kept to 0.1...5 where a step or a pinch ends).
// Pure arithmetic, tested without a window.
struct OverlayGestures {
    OverlayGestures() = delete;

    static constexpr double minScale = 0.1;
    static constexpr double maxScale = 5.0;
    // Where `top` and `bottom` texts are centred, from the picture's top.
    static constexpr double topFraction = 0.08;
    static constexpr double bottomFraction = 0.92;

    // 0...1; a value that is not a number gives 0.
    static double clamp01(double value);
    // 0.1...5, the upper bound taken first; not a number gives 0.1.
    static double clampScale(double value);

    // A text's centre as fractions of the picture: a custom point kept to
    // 0...1, else the middle across and its preset's height down.
    static QPointF textCentre(const TextPosition& position);
    // A text dragged by `translation` points over a picture at `rect`.
    static QPointF textDragged(const TextPosition& position, QSizeF translation, QRectF rect);
    // A text nudged by (dx, dy) fractions: a preset becomes a point.
    static QPointF textNudged(const TextPosition& position, double dx, double dy);
    // A text of `scale` (1 without one) pinched by `magnification`, or stepped
    // by `delta`.
    static double textPinched(std::optional<double> scale, double magnification);
    static double textStepped(std::optional<double> scale, double delta);

    // An image of base transform `base` (the default without one) dragged by
    // `translation` points over `rect` while a pinch of `liveScale` may be under
    // way: its scale is not kept to bounds, the pinch's end does that.
    static OverlayTransform imageDragged(const OverlayTransform& base, QSizeF translation,
                                         QRectF rect, double liveScale);
    // An image pinched by `magnification` while a drag of `dragShare`
    // (fractions of the picture) may be under way.
    static OverlayTransform imagePinched(const OverlayTransform& base, double magnification,
                                         QPointF dragShare);
    static OverlayTransform imageNudged(const OverlayTransform& base, double dx, double dy);
    static OverlayTransform imageStepped(const OverlayTransform& base, double delta);
};

} // namespace vexel
