#include "presentation/views/kit/ElidedLabel.h"

#include "presentation/views/kit/PlainText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <utility>

namespace vexel {

ElidedLabel::ElidedLabel(QString text, QWidget* parent)
    : QFrame(parent)
    , text_(std::move(text)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(QString text) {
    if (text == text_) {
        return;
    }
    text_ = std::move(text);
    updateGeometry();
    update();
}

void ElidedLabel::setElideMode(Qt::TextElideMode mode) {
    elideMode_ = mode;
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QString ElidedLabel::displayedText() const {
    // A line break would draw a second line over the first: show it as a space.
    QString line = shownPart(text_, elideMode_);
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return elidedPlain(fontMetrics(), line, elideMode_, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(shownPart(text_, elideMode_)),
                 fontMetrics().height()) +
           QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("…")), fontMetrics().height()) +
           QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment_) | Qt::TextSingleLine, displayedText());
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Only what the label had to cut is worth a tip.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (displayedText() != text_) {
            QToolTip::showText(help->globalPos(), plainToolTip(text_), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QFrame::event(event);
}

} // namespace vexel
