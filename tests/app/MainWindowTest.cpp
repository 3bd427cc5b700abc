// The editor's window as the application makes it, over the real graph.

#include "presentation/views/shell/MainWindow.h"

#include "app/AppHarness.h"
#include "app/ApplicationIdentity.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

TEST(MainWindowTest, AFirstRunWelcomesAndGetStartedLoadsTheSampleAndFocusesItsInstruction) {
    AppHarness harness;
    harness.resources = ResourceBundle::main();
    AppController& app = harness.launch();
    MainWindow& window = app.window();
    ASSERT_NE(window.mainView(), nullptr);
    EXPECT_EQ(window.centralWidget(), window.mainView());
    EXPECT_EQ(window.size(), QSize(1200, 800));
    // Below the menu bar, the content fills the rest of the window.
    const int contentHeight = window.mainView()->height();
    EXPECT_GT(contentHeight, 700);
    EXPECT_EQ(window.mainView()->paneLayout().timeline.top(),
              static_cast<int>(contentHeight * 0.6180290297937356));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    EXPECT_EQ(harness.graph().tutorialState().currentStep(), TutorialStep::welcome);
    TutorialHooks& hooks = window.mainView()->tutorialHooks();
    hooks.setupAndAdvance();
    ASSERT_TRUE(hooks.setupTask());
    awaitTask(hooks.setupTask()->finished());
    settle();

    EXPECT_EQ(harness.graph().tutorialState().currentStep(), TutorialStep::splitChat);
    QLineEdit* input = window.mainView()->chatColumn().inputField();
    EXPECT_EQ(input->text(), QStringLiteral("Split the clip at 3 seconds"));
    EXPECT_TRUE(input->hasFocus());
    const std::vector<Clip> clips = harness.graph().timelineViewModel().project().videoClips();
    ASSERT_EQ(clips.size(), 1u);
    // Its bar reads the sample's own name, not the staged copy's.
    EXPECT_EQ(clips.front().assetName, "tutorial-sample.mp4");
    EXPECT_NE(clips.front().assetURL->filename(), "tutorial-sample.mp4");
    auto* timeline = dynamic_cast<TimelinePanel*>(&window.mainView()->timelinePane());
    ASSERT_NE(timeline, nullptr);
    const QList<DraggableClipBar*> bars = timeline->findChildren<DraggableClipBar*>();
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars.front()->clip().assetName, "tutorial-sample.mp4");
    EXPECT_TRUE(harness.errors().empty());

    // Skipping ends it for good: the next launch does not offer it.
    hooks.skip();
    EXPECT_EQ(harness.graph().tutorialState().currentStep(), std::nullopt);
    harness.crash();
    harness.launch();
    EXPECT_EQ(harness.graph().tutorialState().currentStep(), std::nullopt);
}

TEST(MainWindowTest, FilesDroppedOrPickedThroughTheTimelineAreStagedAndAdded) {
    AppHarness harness;
    harness.launch();
    vexel::testing::TestMovie movie;
    movie.width = 160;
    movie.height = 90;
    movie.frameCount = 30;
    vexel::testing::writeTestMovie(harness.root / "holiday.mp4", movie);

    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(QString::fromStdString((harness.root / "holiday.mp4").string()))});
    QWidget& timeline = harness.app->window().mainView()->timelinePane();
    QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&timeline, &enter);
    QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(&timeline, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return harness.graph().timelineViewModel().importingCount() == 0; }));
    settle();

    std::vector<Clip> clips = harness.graph().timelineViewModel().project().videoClips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips.front().assetName, "holiday.mp4");
    // A staged copy, not the user's file.
    EXPECT_EQ(clips.front().assetURL->parent_path(), harness.stagingFolder());

    // The timeline's Add File opens the window's file panel.
    auto& panel = dynamic_cast<TimelinePanel&>(timeline);
    harness.dialogs->answerPanel({harness.root / "holiday.mp4"});
    QAction* addFile = panel.actionBar()->addMenu()->actions().front();
    ASSERT_EQ(addFile->text(), QStringLiteral("Add File"));
    addFile->trigger();
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return harness.graph().timelineViewModel().project().videoClips().size() == 2; }));
    EXPECT_EQ(harness.dialogs->panels().size(), 1u);
    EXPECT_TRUE(harness.errors().empty());
}

TEST(MainWindowTest, TheApplicationSetUpAsMainDoesItTakesReducedMotionFromTheEnvironment) {
    auto& application = *qobject_cast<QApplication*>(QCoreApplication::instance());
    for (const bool reduce : {true, false, true}) {
        vexel::testing::ScopedEnvironment variable("VEXEL_REDUCE_MOTION", reduce ? "1" : "0");
        setReduceMotion(!reduce);
        setUpApplication(application);
        EXPECT_EQ(reduceMotion(), reduce);
        EXPECT_EQ(animationDuration(std::chrono::milliseconds(250)).count(), reduce ? 0 : 250);
    }
    // Set up again, it keeps one watch on the desktop, not one per set-up.
    EXPECT_EQ(application
                  .findChildren<QObject*>(QStringLiteral("vexelDesktopMotion"),
                                          Qt::FindDirectChildrenOnly)
                  .size(),
              1);
}
