#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace vexel {

// Where the tutorial's overlay draws and places things, in the coordinates of
// the window content it covers.
namespace tutorialGeometry {

// The outline of an area runs this far inside it, with corners of this radius;
// the chat steps' spotlight hole is the same shape.
inline constexpr double outlineInset = 4;
inline constexpr double outlineRadius = 8;
// A chat step's card ends this far above the chat bar, but never above this.
inline constexpr int cardGapAboveInputBar = 40;
inline constexpr int lowestCardBottom = 80;

QRectF outlineRect(const QRectF& area);
// The clear hole of a chat step over `chat`.
QPainterPath spotlightHole(const QRectF& chat);
// The centre of an area's name tag, near its top edge.
QPointF labelCentre(const QRectF& area);
// The bottom edge of a chat step's card.
int chatCardBottom(int inputBarMinY);
// A chat step's card of `size`: above the chat bar, centred on the column.
QRect chatCardRect(const QRect& chat, int inputBarMinY, QSize size);

} // namespace tutorialGeometry

} // namespace vexel
