#pragma once

#include <QPointF>

#include <functional>
#include <optional>

class QMouseEvent;

namespace vexel {

// The playhead's gesture on a strip of the timeline (the ruler, the space
// between the lanes' bars): a press seeks to the time under the pointer at
// once, each step of a drag from there scrubs, and a press released without
// travelling is a tap. The strip's width stands for `maxDuration` seconds.
class TimelineSeekGesture {
public:
    // How far a press may travel and still be a tap.
    static constexpr double tapDistance = 10;

    // A press, and any seek a step falls back on: at once, exactly.
    std::function<void(double seconds)> onSeek;
    // Each step of a drag, in place of onSeek when set: the picture may lag
    // while the drag moves, and must be exact where it rests.
    std::function<void(double seconds)> onScrub;
    // A press released where it began.
    std::function<void()> onTap;

    // The strip's mouse events, with its width and the seconds it stands
    // for. Each accepts what it handles and ignores the rest.
    void press(QMouseEvent& event, double width, double maxDuration);
    void move(QMouseEvent& event, double width, double maxDuration);
    void release(QMouseEvent& event);

private:
    void seekTo(double x, double width, double maxDuration, bool dragging) const;

    std::optional<QPointF> press_;
    bool travelled_ = false;
};

} // namespace vexel
