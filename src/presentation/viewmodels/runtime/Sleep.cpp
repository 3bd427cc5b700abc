#include "presentation/viewmodels/runtime/Sleep.h"

#include "foundation/CancellationError.h"
#include "presentation/viewmodels/runtime/PendingWait.h"

#include <QTimer>

#include <cmath>
#include <memory>

namespace vexel {

namespace {

// The timer may be the very sender whose signal resumes the sleeper, so it is
// deleted from the event loop rather than inside that signal.
struct DeleteTimerLater {
    void operator()(QTimer* timer) const {
        timer->stop();
        timer->deleteLater();
    }
};

} // namespace

QCoro::Task<void> sleepOnEventLoop(std::chrono::duration<double> delay, std::stop_token stop) {
    throwIfCancelled(stop);
    if (!(delay.count() > 0)) {
        co_return;
    }
    auto wait = std::make_shared<PendingWait>();
    std::unique_ptr<QTimer, DeleteTimerLater> timer(new QTimer);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [wait] { wait->wake(); });
    // Rounded up: a timer never fires before the delay is over.
    timer->start(
        std::chrono::milliseconds(static_cast<long long>(std::ceil(delay.count() * 1000))));
    co_await PendingWait::wait(wait, stop);
}

} // namespace vexel
