#include "presentation/viewmodels/runtime/YieldToEventLoop.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace vexel {

void YieldToEventLoop::await_suspend(std::coroutine_handle<> waiter) const {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [waiter] { waiter.resume(); }, Qt::QueuedConnection);
}

} // namespace vexel
