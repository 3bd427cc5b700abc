#include "presentation/views/timeline/BarBody.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

// The columns of each end that the rounding reaches into.
constexpr int endWidth = static_cast<int>(BarBody::cornerRadius);
// Enough for the ends and the few widths of the narrow bars in sight.
constexpr std::size_t keptShapes = 16;

} // namespace

const QPixmap& BarBody::shape(QSize size, const QColor& colour, qreal ratio) {
    const QRgb rgba = colour.rgba();
    const auto found = std::find_if(shapes_.begin(), shapes_.end(), [&](const Shape& shape) {
        return shape.size == size && shape.colour == rgba && shape.ratio == ratio;
    });
    if (found != shapes_.end()) {
        return found->picture;
    }
    if (shapes_.size() >= keptShapes) {
        shapes_.erase(shapes_.begin());
    }
    QPixmap picture(QSize(static_cast<int>(std::ceil(size.width() * ratio)),
                          static_cast<int>(std::ceil(size.height() * ratio))));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), cornerRadius, cornerRadius);
    painter.fillPath(outline, colour);
    painter.end();
    shapes_.push_back({size, rgba, ratio, std::move(picture)});
    return shapes_.back().picture;
}

void BarBody::paint(QPainter& painter, const QRect& bounds, const QColor& colour) {
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1;
    const int width = bounds.width();
    const int height = bounds.height();
    if (width <= 0 || height <= 0) {
        return;
    }
    if (width <= 2 * endWidth) {
        painter.drawPixmap(bounds.topLeft(), shape(bounds.size(), colour, ratio));
        return;
    }
    // One column of middle between the ends keeps them apart.
    const QPixmap& ends = shape(QSize(2 * endWidth + 1, height), colour, ratio);
    const auto end = [&](int x) { return QRectF(x * ratio, 0, endWidth * ratio, height * ratio); };
    painter.drawPixmap(QRectF(bounds.left(), bounds.top(), endWidth, height), ends, end(0));
    painter.fillRect(QRect(bounds.left() + endWidth, bounds.top(), width - 2 * endWidth, height),
                     colour);
    painter.drawPixmap(QRectF(bounds.right() + 1 - endWidth, bounds.top(), endWidth, height), ends,
                       end(endWidth + 1));
}

} // namespace vexel
