#include "presentation/support/EventLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include <cstdlib>

// Test discovery runs this program without the test environment, so the
// offscreen platform is chosen here, before the application object exists.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Tasks cancelled by the last test end from the event loop; they, and the
    // timers and watchers released with deleteLater(), are freed before exit.
    vexel::test::settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
