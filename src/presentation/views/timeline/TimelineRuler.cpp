#include "presentation/views/timeline/TimelineRuler.h"

#include "presentation/helpers/RulerTicks.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace vexel {

namespace {

constexpr int majorTickHeight = 10;
constexpr int minorTickHeight = 6;

} // namespace

TimelineRuler::TimelineRuler(QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(rulerHeight);
    QFont labels = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    labels.setPixelSize(9);
    setFont(labels);
    setAccessibleName(QStringLiteral("Timeline ruler"));
    setAccessibleDescription(QStringLiteral("Tap to seek"));
}

void TimelineRuler::setDisplayDuration(double seconds) {
    if (seconds != displayDuration_) {
        displayDuration_ = seconds;
        update();
    }
}

void TimelineRuler::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QColor tick = palette().color(QPalette::Disabled, QPalette::WindowText);
    tick.setAlphaF(0.5f);
    const QColor label = palette().color(QPalette::Disabled, QPalette::WindowText);
    const int h = height();
    const int visibleLeft = event->rect().left() - 1;
    const int visibleRight = event->rect().right() + 1;
    const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 4;
    for (const RulerTicks::Tick& t : RulerTicks::ticks(displayDuration_, width())) {
        // Only what the repaint covers is drawn; a label reaches right of
        // its tick.
        if (t.x < visibleLeft - labelWidth || t.x > visibleRight) {
            continue;
        }
        const int tickHeight = t.major ? majorTickHeight : minorTickHeight;
        painter.fillRect(QRectF(t.x, h - tickHeight, 1, tickHeight), tick);
        if (t.major) {
            painter.setPen(label);
            // Above the major tick, beside it, as high as the strip allows.
            const QRectF area(t.x + 2, 0, labelWidth + 40, h - majorTickHeight);
            painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromStdString(t.label));
        }
    }
}

void TimelineRuler::mousePressEvent(QMouseEvent* event) {
    seekGesture_.press(*event, width(), displayDuration_);
}

void TimelineRuler::mouseMoveEvent(QMouseEvent* event) {
    seekGesture_.move(*event, width(), displayDuration_);
}

void TimelineRuler::mouseReleaseEvent(QMouseEvent* event) {
    seekGesture_.release(*event);
}

} // namespace vexel
