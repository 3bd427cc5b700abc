#include "presentation/views/chat/SendButton.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

#include <chrono>

namespace vexel {

namespace {

// One swell or one fade.
constexpr std::chrono::milliseconds pulseHalf{650};

QColor mix(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t),
                            float(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

} // namespace

SendButton::SendButton(QWidget* parent)
    : TactileButton(tr("Send"), parent) {
    pulse_.setStartValue(0.0);
    pulse_.setKeyValueAt(0.5, 1.0);
    pulse_.setEndValue(0.0);
    pulse_.setEasingCurve(QEasingCurve::InOutSine);
    pulse_.setLoopCount(-1);
    connect(&pulse_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        phase_ = value.toDouble();
        update();
    });
}

SendButton::~SendButton() {
    pulse_.stop();
}

void SendButton::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) {
        return;
    }
    highlighted_ = highlighted;
    if (highlighted_) {
        startPulse();
    } else {
        pulse_.stop();
        phase_ = 0;
    }
    update();
}

void SendButton::startPulse() {
    // From the resting colour, without a jump from wherever a pulse was.
    pulse_.stop();
    const auto half = animationDuration(pulseHalf);
    if (half.count() == 0) {
        phase_ = 1;
        update();
        return;
    }
    phase_ = 0;
    pulse_.setDuration(int(2 * half.count()));
    if (isVisible()) {
        pulse_.start();
    }
}

QColor SendButton::highlightColor() const {
    if (!highlighted_) {
        return Qt::transparent;
    }
    QColor resting = toQColor(VexelColors::textSecondary);
    resting.setAlphaF(0.15f);
    QColor lit = palette().color(QPalette::Highlight);
    lit.setAlphaF(0.35f);
    return mix(resting, lit, phase_);
}

void SendButton::paintEvent(QPaintEvent* event) {
    TactileButton::paintEvent(event);
    if (!highlighted_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, highlightColor());
}

void SendButton::showEvent(QShowEvent* event) {
    TactileButton::showEvent(event);
    // Back after a run: the pulse starts over.
    if (highlighted_) {
        startPulse();
    }
}

void SendButton::hideEvent(QHideEvent* event) {
    pulse_.stop();
    TactileButton::hideEvent(event);
}

} // namespace vexel
