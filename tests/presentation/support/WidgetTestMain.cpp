#include "presentation/support/EventLoop.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/kit/Theme.h"

#include <QApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include <cstdlib>

// Widget tests run on the offscreen platform unless the environment names
// another (the screenshot tests run under Xvfb), with the window's own theme
// and without animations, so every change shows at once.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    vexel::applyDarkTheme(application);
    vexel::setReduceMotion(true);
    const int result = RUN_ALL_TESTS();
    vexel::test::settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
