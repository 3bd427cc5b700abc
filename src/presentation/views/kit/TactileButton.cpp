#include "presentation/views/kit/TactileButton.h"

#include "presentation/theme/TactileButtonStyle.h"
#include "presentation/views/kit/Motion.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace vexel {

TactileButton::TactileButton(QWidget* parent)
    : TactileButton(QString(), parent) {}

TactileButton::TactileButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
    animation_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        scale_ = value.toDouble();
        update();
    });
    connect(this, &QPushButton::pressed, this,
            [this] { animateTo(TactileButtonStyle::scale(true)); });
    connect(this, &QPushButton::released, this,
            [this] { animateTo(TactileButtonStyle::scale(false)); });
}

void TactileButton::animateTo(double scale) {
    animation_.stop();
    const auto duration = animationDuration(TactileButtonStyle::animationDuration);
    if (duration.count() == 0) {
        scale_ = scale;
        update();
        return;
    }
    animation_.setDuration(int(duration.count()));
    animation_.setStartValue(scale_);
    animation_.setEndValue(scale);
    animation_.start();
}

void TactileButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    if (scale_ != 1.0) {
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.scale(scale_, scale_);
        painter.translate(-centre);
    }
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButton, option);
}

} // namespace vexel
