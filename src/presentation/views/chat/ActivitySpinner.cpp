#include "presentation/views/chat/ActivitySpinner.h"

#include "presentation/views/kit/Motion.h"

#include <QPainter>

#include <algorithm>
#include <chrono>

namespace vexel {

namespace {

constexpr std::chrono::milliseconds turnDuration{900};

} // namespace

ActivitySpinner::ActivitySpinner(QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    turn_.setStartValue(0.0);
    turn_.setEndValue(360.0);
    turn_.setLoopCount(-1);
    connect(&turn_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        angle_ = value.toDouble();
        update();
    });
}

ActivitySpinner::~ActivitySpinner() {
    turn_.stop();
}

QSize ActivitySpinner::sizeHint() const {
    const int side = fontMetrics().height();
    return {side, side};
}

void ActivitySpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height()) - 3.0;
    const QRectF box((width() - side) / 2, (height() - side) / 2, side, side);
    QColor track = palette().color(QPalette::WindowText);
    track.setAlphaF(0.2f);
    painter.setPen(QPen(track, 2));
    painter.drawEllipse(box);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2, Qt::SolidLine, Qt::RoundCap));
    // Qt counts sixteenths of a degree, anticlockwise from three o'clock.
    painter.drawArc(box, int((90 - angle_) * 16), 100 * 16);
}

void ActivitySpinner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    const auto duration = animationDuration(turnDuration);
    if (duration.count() > 0) {
        turn_.setDuration(int(duration.count()));
        turn_.start();
    }
}

void ActivitySpinner::hideEvent(QHideEvent* event) {
    turn_.stop();
    QWidget::hideEvent(event);
}

} // namespace vexel
