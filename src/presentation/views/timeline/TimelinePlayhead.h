#pragma once

#include <QWidget>

#include <optional>

namespace vexel {

// The line at the preview's current time, over the lanes. It only shows the
// time: seeking is done by the surface it stands on.
class TimelinePlayhead : public QWidget {
    Q_OBJECT

public:
    static constexpr int lineWidth = 2;

    explicit TimelinePlayhead(QWidget* parent = nullptr);

    // `currentTime` on an axis of `maxDuration` seconds (1 when not positive)
    // across `contentWidth` pixels; the line never leaves the content.
    void setPosition(double currentTime, double maxDuration, double contentWidth);
    double currentTime() const { return currentTime_; }

    // The time a point at `x` seeks to: its share of `contentWidth` from
    // `contentOffset`, kept inside 0 ... 1, of `maxDuration`. None when either
    // is not positive.
    static std::optional<double> seekTime(double x, double contentWidth, double contentOffset,
                                          double maxDuration);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double currentTime_ = 0;
};

} // namespace vexel
