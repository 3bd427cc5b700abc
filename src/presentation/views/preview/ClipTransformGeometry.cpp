#include "presentation/views/preview/ClipTransformGeometry.h"

namespace vexel {

namespace {

// `operation` about the centre of the view: the row-vector order Qt uses, so
// that the first factor acts first.
QTransform aboutCentre(const QTransform& operation, QSizeF size) {
    const double cx = size.width() / 2;
    const double cy = size.height() / 2;
    return QTransform::fromTranslate(-cx, -cy) * operation * QTransform::fromTranslate(cx, cy);
}

bool isWholeView(const NormalizedRect& crop) {
    return crop.x == 0 && crop.y == 0 && crop.width == 1 && crop.height == 1;
}

} // namespace

ClipTransformGeometry ClipTransformGeometry::of(const std::optional<ClipTransform>& clipTransform,
                                                QSizeF viewSize) {
    if (!clipTransform || clipTransform->isIdentity()) {
        return {};
    }
    const ClipTransform& clip = *clipTransform;
    QTransform rotation;
    rotation.rotate(clip.rotation);
    const QTransform flips =
        QTransform::fromScale(clip.flipHorizontal ? -1 : 1, clip.flipVertical ? -1 : 1);
    ClipTransformGeometry geometry;
    geometry.transform = aboutCentre(rotation, viewSize) * aboutCentre(flips, viewSize);
    if (!clip.cropRect || isWholeView(*clip.cropRect) || !(clip.cropRect->width > 0) ||
        !(clip.cropRect->height > 0)) {
        return geometry;
    }
    const NormalizedRect& crop = *clip.cropRect;
    const double width = viewSize.width();
    const double height = viewSize.height();
    // The crop rectangle's edges land on the view's edges.
    const QTransform enlarge =
        aboutCentre(QTransform::fromScale(1 / crop.width, 1 / crop.height), viewSize) *
        QTransform::fromTranslate(-(crop.x - (1 - crop.width) / 2) * width / crop.width,
                                  -(crop.y - (1 - crop.height) / 2) * height / crop.height);
    geometry.transform *= enlarge;
    geometry.clip = QRectF(QPointF(0, 0), viewSize);
    return geometry;
}

} // namespace vexel
