#pragma once

#include "domain/entities/ClipTransform.h"

#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include <optional>

namespace vexel {

// A clip's rotation, flips and crop as drawn on screen over a view of a given
// size (origin top-left, y down): turned about the view's centre, mirrored
// about it, then the crop rectangle, taken in the turned and mirrored view,
// enlarged to fill the view and everything outside the view cut off.
struct ClipTransformGeometry {
    // Maps the view's own coordinates to where they are drawn.
    QTransform transform;
    // What stays visible, in the view's coordinates; none when nothing is cut.
    std::optional<QRectF> clip;

    // Nothing turned, mirrored or cut for no transform or an identity one. A
    // crop equal to the whole view, or of no width or height, cuts nothing.
    static ClipTransformGeometry of(const std::optional<ClipTransform>& clipTransform,
                                    QSizeF viewSize);
};

} // namespace vexel
