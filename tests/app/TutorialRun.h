#pragma once

#include "app/AppHarness.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/MainWindow.h"
#include "presentation/views/shell/TutorialOverlay.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>

namespace vexel::test {

// A first run of the application with the build's own sample video, its
// window on screen and active, driven through the guided tutorial as a user
// would: the overlay's buttons, and Return in the chat bar.
struct TutorialRun {
    TutorialRun() {
        app.resources = ResourceBundle::main();
        app.launch();
        window().activateWindow();
        QApplication::setActiveWindow(&window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    MainWindow& window() { return app.app->window(); }
    MainView& view() { return *window().mainView(); }
    TutorialOverlay& overlay() { return *window().tutorialOverlay(); }
    TutorialState& state() { return app.graph().tutorialState(); }
    InstructionViewModel& instructions() { return app.graph().instructionViewModel(); }
    QLineEdit& chatField() { return *view().chatColumn().inputField(); }

    // Get Started, and the sample set up.
    void getStarted() {
        ASSERT_NE(overlay().getStartedButton(), nullptr);
        QTest::mouseClick(overlay().getStartedButton(), Qt::LeftButton);
        settle();
        const std::optional<TaskHandle>& setup = view().tutorialHooks().setupTask();
        if (setup) {
            awaitTask(setup->finished());
        }
        settle();
    }

    // Return in the chat bar, and whatever it started run to its end; the
    // replies are typed by the clock the test moves. The export step renders
    // a real movie, which on a loaded machine takes far longer than an edit.
    void send() {
        QTest::keyClick(&chatField(), Qt::Key_Return);
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout,
                         [this] { app.time->advance(std::chrono::milliseconds(50)); });
        ticker.start(1);
        if (const std::optional<TaskHandle> task = instructions().currentTask()) {
            awaitTask(task->finished(), std::chrono::seconds(120));
        }
        ticker.stop();
        settle();
    }

    // The point at the middle of `widget`, in the window content's coordinates.
    QPoint centreOf(QWidget& widget) { return widget.mapTo(&view(), widget.rect().center()); }

    // A click at `point` of the window content, as the pointer would give it:
    // to whatever is uppermost there.
    QWidget* clickAt(QPoint point) {
        QWidget* target = view().childAt(point);
        if (target != nullptr) {
            QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&view(), point));
            settle();
        }
        return target;
    }

    AppHarness app;
};

} // namespace vexel::test
