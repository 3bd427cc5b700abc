#include "presentation/views/shell/MainView.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ChatBar.h"
#include "presentation/support/RecordingPreview.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/preview/PreviewEmptyState.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/RunEventsUntil.h"

#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace vexel;
using namespace vexel::test;
using namespace std::chrono_literals;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

const Clip intro = makeClip(0, 5, TrackType::video, "Intro");

// The window's content over the real timeline, chat and preview view models.
struct MainViewTest : ::testing::Test {
    ChatBar bar{Project{{makeTrack(TrackType::video, "Video 1", {intro})}, 3600}};
    RecordingPreview preview;
    TutorialState tutorial;
    std::unique_ptr<MainView> view;

    void open(QSize size) {
        view = std::make_unique<MainView>(MainView::Context{
            bar.harness.timeline, preview.preview, bar.viewModel, tutorial, bar.settings,
            bar.harness.logger, bar.harness.time, bar.harness.time->sleepAction()});
        view->resize(size);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    // Drags the divider between chat and preview by `dx`.
    void dragDivider(int dx) {
        QSplitterHandle* handle = view->topSplitter().handle(1);
        const QPoint middle = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, middle);
        QTest::mouseMove(handle, middle + QPoint(dx, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, middle + QPoint(dx, 0));
    }
};

} // namespace

TEST_F(MainViewTest, TheTopRowTakesItsShareAndTheDividerKeepsItsLimits) {
    open({800, 600});
    EXPECT_EQ(view->minimumSize(), QSize(800, 600));
    EXPECT_EQ(view->topSplitter().geometry(), QRect(0, 0, 800, 370));
    EXPECT_EQ(view->timelinePane().geometry(), QRect(0, 370, 800, 230));
    const PaneLayout& panes = view->paneLayout();
    EXPECT_EQ(panes.chat, QRect(0, 0, 280, 370));
    EXPECT_EQ(panes.preview.left(), view->previewPane().x());
    EXPECT_EQ(panes.preview.right(), 799);
    EXPECT_EQ(panes.timeline, QRect(0, 370, 800, 230));
    EXPECT_EQ(panes.inputBarMinY, 370 - view->chatColumn().inputBarHeight());
    EXPECT_GT(view->chatColumn().inputBarHeight(), 30);

    QSignalSpy changed(view.get(), &MainView::paneLayoutChanged);
    view->resize(1200, 1000);
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(view->topSplitter().height(), 618);
    EXPECT_EQ(view->timelinePane().geometry(), QRect(0, 618, 1200, 382));
    EXPECT_EQ(view->paneLayout().chat.width(), 280); // a wider window widens the preview
    EXPECT_EQ(view->paneLayout().preview.right(), 1199);
    EXPECT_EQ(PaneLayout::topHeight(1000), 618);
    EXPECT_EQ(PaneLayout::topHeight(600), 370);

    // The divider stops at the chat's limits, and the layout follows it.
    dragDivider(-300);
    EXPECT_EQ(view->chatColumn().width(), 200);
    EXPECT_EQ(view->paneLayout().chat.width(), 200);
    dragDivider(500);
    EXPECT_EQ(view->chatColumn().width(), 400);
    EXPECT_EQ(view->paneLayout().preview.left(), view->previewPane().x());
    EXPECT_EQ(view->previewPane().minimumWidth(), 300);
    view->resize(800, 600);
    EXPECT_GE(view->previewPane().width(), 300);
    EXPECT_LE(view->chatColumn().width(), 400);
}

TEST_F(MainViewTest, TheBannerHeadsTheTimelineAndEditsReachThePreview) {
    open({1200, 800});
    auto* banner = view->timelinePane().findChild<ErrorBannerView*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isHidden());
    bar.harness.banner.pushError(
        AppError::make(ErrorCategory::validation, "Failed to move clip", bar.harness.time->now()));
    settle();
    EXPECT_TRUE(banner->isVisible());
    // A row of the timeline, under its header.
    auto* panel = dynamic_cast<TimelinePanel*>(&view->timelinePane());
    ASSERT_NE(panel, nullptr);
    EXPECT_GE(banner->y(), panel->actionRow()->geometry().bottom());
    EXPECT_LT(banner->y(), panel->content()->y());

    QSignalSpy loads(&preview.preview, &PreviewViewModel::loadingTaskChanged);
    awaitTask(bar.harness.timeline.moveClip(intro.id, 2));
    settle();
    bar.harness.time->advance(200ms);
    ASSERT_EQ(loads.count(), 1);
    awaitTask(preview.preview.loadingTask()->finished());
    EXPECT_EQ(preview.builtProjects().back(), bar.harness.timeline.project());

    // Closing the window drops a rebuild that still waits.
    awaitTask(bar.harness.timeline.moveClip(intro.id, 3));
    settle();
    view->close();
    settle();
    bar.harness.time->advance(1s);
    EXPECT_EQ(loads.count(), 1);
}

TEST_F(MainViewTest, AFirstRunOffersTheTutorialAndAFinishedOneDoesNot) {
    open({1200, 800});
    EXPECT_EQ(tutorial.currentStep(), TutorialStep::welcome);
    view->tutorialHooks().skip();
    view.reset();

    open({1200, 800});
    EXPECT_EQ(tutorial.currentStep(), std::nullopt);
    EXPECT_EQ(view->waveformCache().count(), 0u);
}

TEST_F(MainViewTest, ThePreviewPaneReportsItsEditsToTheTimeline) {
    open({1200, 800});
    auto* pane = dynamic_cast<PreviewPlayerView*>(&view->previewPane());
    ASSERT_NE(pane, nullptr);
    // Nothing plays yet: the invitation to drop media.
    EXPECT_TRUE(pane->emptyState().isVisible());
    ASSERT_TRUE(pane->actions().onSelectText);
    pane->actions().onSelectText(intro.id);
    EXPECT_EQ(bar.harness.timeline.selectedClipId(), intro.id);
    pane->actions().onSelectText(std::nullopt);
    EXPECT_EQ(bar.harness.timeline.selectedClipId(), std::nullopt);
    // A refused move shows its fixed text in the window's banner.
    pane->actions().onRepositionText(intro.id, 0.5, 0.5);
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return bar.harness.banner.currentError().has_value(); }));
    EXPECT_EQ(bar.harness.banner.currentError()->message, "Failed to reposition text");
}
