#include "presentation/views/timeline/TimelineSeekGesture.h"

#include "presentation/views/timeline/TimelinePlayhead.h"

#include <QMouseEvent>

#include <cmath>

namespace vexel {

void TimelineSeekGesture::press(QMouseEvent& event, double width, double maxDuration) {
    if (event.button() != Qt::LeftButton) {
        event.ignore();
        return;
    }
    press_ = event.position();
    travelled_ = false;
    event.accept();
    seekTo(event.position().x(), width, maxDuration, false);
}

void TimelineSeekGesture::move(QMouseEvent& event, double width, double maxDuration) {
    if (!press_) {
        event.ignore();
        return;
    }
    const QPointF travel = event.position() - *press_;
    travelled_ = travelled_ || std::hypot(travel.x(), travel.y()) >= tapDistance;
    event.accept();
    seekTo(event.position().x(), width, maxDuration, true);
}

void TimelineSeekGesture::release(QMouseEvent& event) {
    if (event.button() != Qt::LeftButton || !press_) {
        event.ignore();
        return;
    }
    press_.reset();
    event.accept();
    if (!travelled_ && onTap) {
        onTap();
    }
}

void TimelineSeekGesture::seekTo(double x, double width, double maxDuration, bool dragging) const {
    const auto& seek = dragging && onScrub ? onScrub : onSeek;
    if (!seek) {
        return;
    }
    if (const std::optional<double> time = TimelinePlayhead::seekTime(x, width, 0, maxDuration)) {
        seek(*time);
    }
}

} // namespace vexel
