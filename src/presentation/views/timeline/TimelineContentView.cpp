#include "presentation/views/timeline/TimelineContentView.h"

#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackIconColumn.h"
#include "presentation/views/timeline/TrackLanesView.h"

#include <QApplication>
#include <QGestureEvent>
#include <QNativeGestureEvent>
#include <QPinchGesture>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

int whole(double pixels) {
    return static_cast<int>(std::lround(std::clamp(pixels, 0.0, 1e8)));
}

} // namespace

TimelineContentView::TimelineContentView(const IconRegistry& icons, WaveformLoader* waveforms,
                                         QWidget* parent)
    : QWidget(parent)
    , strip_(new QWidget(this))
    , canvas_(new QWidget(strip_))
    , ruler_(new TimelineRuler(canvas_))
    , lanes_(new TrackLanesView(icons, waveforms, canvas_))
    , iconColumn_(new TrackIconColumn(icons, this))
    , verticalBar_(new QScrollBar(Qt::Vertical, this))
    , horizontalBar_(new QScrollBar(Qt::Horizontal, this)) {
    // A click on the ruler, a lane or a bar takes the keys from wherever they
    // were (the chat field), so that Delete, Space and undo reach the project
    // again; the widgets inside take no focus of their own and pass it here.
    setFocusPolicy(Qt::ClickFocus);
    verticalBar_->hide();
    horizontalBar_->hide();
    connect(verticalBar_, &QScrollBar::valueChanged, this, [this] { scrollTo(); });
    connect(horizontalBar_, &QScrollBar::valueChanged, this, [this] { scrollTo(); });
    grabGesture(Qt::PinchGesture);
}

void TimelineContentView::setLanes(const std::vector<Track>& lanes) {
    std::vector<TrackType> types;
    types.reserve(lanes.size());
    for (const Track& lane : lanes) {
        types.push_back(lane.type);
    }
    const bool countChanged = types.size() != laneTypes_.size();
    laneTypes_ = std::move(types);
    lanes_->setLanes(lanes);
    if (countChanged) {
        relayout();
    } else {
        iconColumn_->setLanes(laneTypes_, layout_.laneHeight, TimelineLayout::rulerHeight);
    }
}

void TimelineContentView::setZoomLevel(double zoomLevel) {
    if (zoomLevel == zoomLevel_) {
        return;
    }
    const TrackLanesView::LayoutHold hold(*lanes_);
    // The time at the left of the view stays there.
    const double share =
        layout_.virtualContentWidth > 0 ? horizontalBar_->value() / layout_.virtualContentWidth : 0;
    zoomLevel_ = zoomLevel;
    relayout();
    horizontalBar_->setValue(static_cast<int>(std::lround(share * layout_.virtualContentWidth)));
}

void TimelineContentView::relayout() {
    const TrackLanesView::LayoutHold hold(*lanes_);
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // The vertical bar takes its width from the content only when shown.
    TimelineLayout layout =
        TimelineLayout::make(width(), height(), static_cast<int>(laneTypes_.size()), zoomLevel_);
    if (layout.scrollsVertically) {
        layout = TimelineLayout::make(width() - barWidth, height(),
                                      static_cast<int>(laneTypes_.size()), zoomLevel_);
        layout.scrollsVertically = true;
    }
    layout_ = layout;
    const int visibleWidth = std::max(width() - static_cast<int>(TimelineLayout::leadingInset) -
                                          (layout_.scrollsVertically ? barWidth : 0),
                                      0);
    const int contentWidth = whole(layout_.virtualContentWidth);
    const int contentHeight = whole(TimelineLayout::rulerHeight + layout_.contentHeight);

    visibleWidth_ = visibleWidth;
    strip_->setGeometry(static_cast<int>(TimelineLayout::leadingInset), 0, visibleWidth, height());
    canvas_->resize(contentWidth, contentHeight);
    ruler_->setGeometry(0, 0, contentWidth, static_cast<int>(TimelineLayout::rulerHeight));
    lanes_->setLaneHeight(layout_.laneHeight);
    lanes_->setGeometry(0, static_cast<int>(TimelineLayout::rulerHeight), contentWidth,
                        whole(layout_.contentHeight));
    iconColumn_->setLanes(laneTypes_, layout_.laneHeight, TimelineLayout::rulerHeight);

    verticalBar_->setVisible(layout_.scrollsVertically);
    verticalBar_->setGeometry(width() - barWidth, 0, barWidth, height());
    verticalBar_->setRange(0, std::max(contentHeight - height(), 0));
    verticalBar_->setPageStep(height());
    verticalBar_->setSingleStep(static_cast<int>(std::lround(layout_.laneHeight + 1)));

    // Shown only when zoomed in, over the bottom of the lanes.
    horizontalBar_->setVisible(zoomLevel_ > 1.0);
    horizontalBar_->setGeometry(static_cast<int>(TimelineLayout::leadingInset), height() - barWidth,
                                visibleWidth, barWidth);
    horizontalBar_->setRange(0, std::max(contentWidth - visibleWidth, 0));
    horizontalBar_->setPageStep(std::max(visibleWidth, 1));
    horizontalBar_->setSingleStep(20);
    horizontalBar_->raise();
    verticalBar_->raise();
    scrollTo();
}

void TimelineContentView::scrollTo() {
    const int down = verticalBar_->isVisibleTo(this) ? verticalBar_->value() : 0;
    const int across = horizontalBar_->value();
    canvas_->move(-across, -down);
    iconColumn_->setGeometry(0, -down, static_cast<int>(TimelineLayout::iconColumnWidth),
                             canvas_->height());
    // Only the clips in sight have bars: a timeline of any length costs what
    // the visible part of it does.
    lanes_->setSight(QRect(across, down - lanes_->y(), visibleWidth_, height()));
}

void TimelineContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void TimelineContentView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const bool sideways =
        std::abs(delta.x()) > std::abs(delta.y()) || event->modifiers() & Qt::ShiftModifier;
    QScrollBar* bar = sideways ? horizontalBar_ : verticalBar_;
    if (bar->maximum() > 0 && (sideways || verticalBar_->isVisibleTo(this))) {
        QApplication::sendEvent(bar, event);
        return;
    }
    event->ignore();
}

bool TimelineContentView::event(QEvent* event) {
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        switch (gesture->gestureType()) {
        case Qt::BeginNativeGesture:
            nativeMagnification_ = 1;
            break;
        case Qt::ZoomNativeGesture:
            // A touchpad reports each step of the pinch; the pinch's
            // magnification is their sum.
            nativeMagnification_ += gesture->value();
            if (onMagnify_) {
                onMagnify_(nativeMagnification_);
            }
            break;
        case Qt::EndNativeGesture:
            if (onMagnifyEnd_) {
                onMagnifyEnd_();
            }
            break;
        default:
            return QWidget::event(event);
        }
        event->accept();
        return true;
    }
    if (event->type() == QEvent::Gesture) {
        auto* gestures = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
            if (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged && onMagnify_) {
                onMagnify_(pinch->totalScaleFactor());
            }
            if ((pinch->state() == Qt::GestureFinished || pinch->state() == Qt::GestureCanceled) &&
                onMagnifyEnd_) {
                onMagnifyEnd_();
            }
            gestures->accept(pinch);
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace vexel
