#include "presentation/views/shell/TutorialOverlayGeometry.h"

#include <algorithm>

namespace vexel::tutorialGeometry {

QRectF outlineRect(const QRectF& area) {
    return area.adjusted(outlineInset, outlineInset, -outlineInset, -outlineInset);
}

QPainterPath spotlightHole(const QRectF& chat) {
    QPainterPath hole;
    hole.addRoundedRect(outlineRect(chat), outlineRadius, outlineRadius);
    return hole;
}

QPointF labelCentre(const QRectF& area) {
    return {area.center().x(), area.top() + 20};
}

int chatCardBottom(int inputBarMinY) {
    return std::max(inputBarMinY - cardGapAboveInputBar, lowestCardBottom);
}

QRect chatCardRect(const QRect& chat, int inputBarMinY, QSize size) {
    const int bottom = chatCardBottom(inputBarMinY);
    const int left = chat.x() + (chat.width() - size.width()) / 2;
    return {left, bottom - size.height(), size.width(), size.height()};
}

} // namespace vexel::tutorialGeometry
