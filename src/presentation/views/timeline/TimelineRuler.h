#pragma once

#include <QWidget>

#include <functional>
#include <optional>

namespace vexel {

// The strip of time ticks above the lanes, labelled in minutes and seconds
// every fifth tick. A click seeks to the time under it.
class TimelineRuler : public QWidget {
    Q_OBJECT

public:
    static constexpr int rulerHeight = 18;

    explicit TimelineRuler(QWidget* parent = nullptr);

    // The seconds the ruler's width stands for.
    void setDisplayDuration(double seconds);
    double displayDuration() const { return displayDuration_; }
    // Told the time of a click; none turns seeking off.
    void setOnSeek(std::function<void(double seconds)> onSeek) { onSeek_ = std::move(onSeek); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double displayDuration_ = 60;
    std::function<void(double)> onSeek_;
    std::optional<QPointF> press_;
};

} // namespace vexel
