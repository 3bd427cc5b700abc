#pragma once

#include "domain/entities/Track.h"
#include "presentation/helpers/TimelineLayout.h"

#include <QWidget>

#include <functional>
#include <vector>

class QScrollBar;

namespace vexel {

class IconRegistry;
class TimelineRuler;
class TrackIconColumn;
class TrackLanesView;
class WaveformLoader;

// The scrolling part of the timeline: the column of lane icons, and beside it
// the ruler over the lanes, as wide as the zoom level makes them. Icons and
// lanes scroll up and down together when the lanes no longer fit at their
// smallest height; only the ruler and the lanes scroll sideways, when zoomed
// in. A pinch on it reports its magnification.
class TimelineContentView : public QWidget {
    Q_OBJECT

public:
    TimelineContentView(const IconRegistry& icons, WaveformLoader* waveforms,
                        QWidget* parent = nullptr);

    void setLanes(const std::vector<Track>& lanes);
    void setZoomLevel(double zoomLevel);
    // The magnification of a pinch since it began, as it goes, and its end.
    void setOnMagnify(std::function<void(double magnification)> onMagnify) {
        onMagnify_ = std::move(onMagnify);
    }
    void setOnMagnifyEnd(std::function<void()> onMagnifyEnd) {
        onMagnifyEnd_ = std::move(onMagnifyEnd);
    }

    const TimelineLayout& timelineLayout() const { return layout_; }
    TimelineRuler* ruler() const { return ruler_; }
    TrackLanesView* lanes() const { return lanes_; }
    TrackIconColumn* iconColumn() const { return iconColumn_; }
    QScrollBar* verticalBar() const { return verticalBar_; }
    QScrollBar* horizontalBar() const { return horizontalBar_; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void relayout();
    void scrollTo();

    std::vector<TrackType> laneTypes_;
    double zoomLevel_ = 1;
    int visibleWidth_ = 0;
    TimelineLayout layout_;
    QWidget* strip_;
    QWidget* canvas_;
    TimelineRuler* ruler_;
    TrackLanesView* lanes_;
    TrackIconColumn* iconColumn_;
    QScrollBar* verticalBar_;
    QScrollBar* horizontalBar_;
    std::function<void(double)> onMagnify_;
    std::function<void()> onMagnifyEnd_;
    // The magnification of the touchpad pinch under way.
    double nativeMagnification_ = 1;
};

} // namespace vexel
