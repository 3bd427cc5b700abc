#include "presentation/views/timeline/TimelinePlayhead.h"

#include "presentation/helpers/TimeFormatting.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vexel {

TimelinePlayhead::TimelinePlayhead(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Playhead"));
    setPosition(0, 1, 0);
}

void TimelinePlayhead::setPosition(double currentTime, double maxDuration, double contentWidth) {
    currentTime_ = currentTime;
    const double span = maxDuration > 0 ? maxDuration : 1;
    const double x = currentTime / span * contentWidth;
    const double left = std::max(std::min(x, contentWidth - lineWidth), 0.0);
    const int height = parentWidget() != nullptr ? parentWidget()->height() : this->height();
    setGeometry(static_cast<int>(std::lround(std::isfinite(left) ? left : 0.0)), 0, lineWidth,
                height);
    setAccessibleDescription(QString::fromStdString(TimeFormatting::standard(currentTime)));
}

std::optional<double> TimelinePlayhead::seekTime(double x, double contentWidth,
                                                 double contentOffset, double maxDuration) {
    if (!(maxDuration > 0) || !(contentWidth > 0)) {
        return std::nullopt;
    }
    return std::clamp((x - contentOffset) / contentWidth, 0.0, 1.0) * maxDuration;
}

void TimelinePlayhead::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(VexelColors::playhead));
}

} // namespace vexel
