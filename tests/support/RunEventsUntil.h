#pragma once

#include <QCoreApplication>
#include <QTimer>

#include <chrono>

namespace vexel::testing {

// Runs the thread's event loop until `done()` holds, waking only for events;
// false when it does not hold within `limit`, which is only a guard against a
// hang.
template <typename Condition>
bool runEventsUntil(Condition done, std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] { timedOut = true; });
    guard.start(limit);
    while (!done() && !timedOut) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

} // namespace vexel::testing
