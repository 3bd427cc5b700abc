#include "presentation/views/chat/SuggestionChip.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace vexel {

namespace {

constexpr int iconGap = 8;
constexpr int textFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

} // namespace

SuggestionChip::SuggestionChip(const QString& suggestion, const IconRegistry& icons,
                               QWidget* parent)
    : TactileButton(parent)
    , suggestion_(suggestion) {
    setAccessibleName(suggestion_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setCursor(Qt::PointingHandCursor);
    icon_ = icons.pixmap("text.bubble", QSize(iconSize(), iconSize()),
                         toQColor(VexelColors::textSecondary), devicePixelRatioF());
}

int SuggestionChip::iconSize() const {
    return fontMetrics().height();
}

QRect SuggestionChip::textRect(int width) const {
    const int left = horizontalPadding + iconSize() + iconGap;
    return QRect(left, verticalPadding, std::max(1, width - left - horizontalPadding), 0);
}

int SuggestionChip::heightForWidth(int width) const {
    const QRect area = textRect(width);
    const QRect text =
        fontMetrics().boundingRect(QRect(0, 0, area.width(), 100000), textFlags, suggestion_);
    return std::max(text.height(), iconSize()) + 2 * verticalPadding;
}

QSize SuggestionChip::sizeHint() const {
    const int width = horizontalPadding * 2 + iconSize() + iconGap +
                      fontMetrics().horizontalAdvance(suggestion_) + 1;
    return {width, heightForWidth(width)};
}

QSize SuggestionChip::minimumSizeHint() const {
    return {horizontalPadding * 2 + iconSize() + iconGap + fontMetrics().averageCharWidth() * 4,
            fontMetrics().height() + 2 * verticalPadding};
}

void SuggestionChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (faceScale() != 1.0) {
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.scale(faceScale(), faceScale());
        painter.translate(-centre);
    }
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    QColor fill = toQColor(VexelColors::surface700);
    if (underMouse()) {
        fill = fill.lighter(115);
    }
    painter.fillPath(shape, fill);

    const QRect text = textRect(width()).adjusted(0, 0, 0, height() - 2 * verticalPadding);
    painter.drawPixmap(QPoint(horizontalPadding, text.center().y() - iconSize() / 2 + 1), icon_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, textFlags, suggestion_);
}

} // namespace vexel
