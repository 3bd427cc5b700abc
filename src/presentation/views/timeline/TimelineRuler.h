#pragma once

#include "presentation/views/timeline/TimelineSeekGesture.h"

#include <QWidget>

#include <functional>

namespace vexel {

// The strip of time ticks above the lanes, labelled in minutes and seconds
// every fifth tick. A press seeks to the time under it and a drag from there
// scrubs, as on the space between the lanes' bars.
class TimelineRuler : public QWidget {
    Q_OBJECT

public:
    static constexpr int rulerHeight = 18;

    explicit TimelineRuler(QWidget* parent = nullptr);

    // The seconds the ruler's width stands for.
    void setDisplayDuration(double seconds);
    double displayDuration() const { return displayDuration_; }
    // Told the time of a press; none turns seeking off.
    void setOnSeek(std::function<void(double seconds)> onSeek) {
        seekGesture_.onSeek = std::move(onSeek);
    }
    // Told the time of each step of a drag, in place of onSeek when set.
    void setOnScrub(std::function<void(double seconds)> onScrub) {
        seekGesture_.onScrub = std::move(onScrub);
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double displayDuration_ = 60;
    TimelineSeekGesture seekGesture_;
};

} // namespace vexel
