#include "presentation/viewmodels/runtime/DisplayLink.h"

#include <QTimer>

#include <chrono>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

class TimerDisplayLink final : public DisplayLink {
public:
    TimerDisplayLink(std::chrono::nanoseconds interval, std::function<void()> callback) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(callback));
        timer_.start(std::chrono::duration_cast<std::chrono::milliseconds>(interval));
    }

private:
    QTimer timer_;
};

} // namespace

DisplayLinkFactory timerDisplayLinks(std::optional<double> refreshRate) {
    if (!refreshRate) {
        return [](std::function<void()>) { return std::unique_ptr<DisplayLink>(); };
    }
    // A screen that does not know its rate says 0; more than a kilohertz is no
    // real screen either. Such a screen still gets a link, at the usual rate.
    double rate = 1 <= *refreshRate && *refreshRate <= 1000 ? *refreshRate : 60;
    auto interval = std::chrono::nanoseconds(std::llround(1e9 / rate));
    return [interval](std::function<void()> callback) -> std::unique_ptr<DisplayLink> {
        return std::make_unique<TimerDisplayLink>(interval, std::move(callback));
    };
}

} // namespace vexel
