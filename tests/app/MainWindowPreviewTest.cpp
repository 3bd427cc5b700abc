// The preview pane of the window the application builds, driven as a user
// drives it: clicks and keys through the window system, drops as a file
// manager delivers them.

#include "presentation/views/shell/MainWindow.h"

#include "app/AppHarness.h"
#include "presentation/views/inspectors/TextInspectorHost.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/preview/PreviewEmptyState.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelineInspectors.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using media::MediaTime;
using vexel::testing::runEventsUntil;

namespace {

// The editor launched as main() launches it, past its welcome, on screen and
// active.
MainWindow& showEditor(AppHarness& harness) {
    harness.launch();
    harness.graph().tutorialState().setCurrentStep(std::nullopt);
    MainWindow& window = harness.app->window();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    return window;
}

// A three-second clip whose frames each have a grey level of their own, and
// a title over all of it at the bottom, where the text inspector (beside the
// preview, or over it where the screen is small) leaves it in sight.
void addClipAndTitle(AppHarness& harness) {
    vexel::testing::TestMovie movie;
    movie.frameCount = 90;
    vexel::testing::writeTestMovie(harness.root / "clip.mp4", movie);
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    awaitTask(timeline.addClip(harness.root / "clip.mp4", TrackType::video, 0, "clip.mp4"));
    EditCommand::AddText title;
    title.text = "Title";
    title.at = 0;
    title.duration = 3;
    title.position = TextPosition::bottom();
    harness.edit(title);
}

PreviewPlayerView& previewOf(MainWindow& window) {
    return dynamic_cast<PreviewPlayerView&>(window.mainView()->previewPane());
}

TimelinePanel& timelineOf(MainWindow& window) {
    return dynamic_cast<TimelinePanel&>(window.mainView()->timelinePane());
}

// A press and a release at `point` of `widget`, through its window.
void click(QWidget& widget, QPoint point) {
    QWindow* window = widget.window()->windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window, Qt::LeftButton, {}, widget.mapTo(widget.window(), point));
}

template <typename Bar> Bar* barOf(TimelinePanel& panel, const Uuid& clipId) {
    for (Bar* bar : panel.findChildren<Bar*>()) {
        if (bar->isVisible() && bar->clip().id == clipId) {
            return bar;
        }
    }
    return nullptr;
}

// Lets the window's pause after a change pass and waits until the preview has
// rebuilt and shows its frame at `frameTime`.
void showRebuilt(AppHarness& harness, const MediaTime& frameTime) {
    // The pause begins once the change has been handled.
    settle();
    const PreviewRebuilder& rebuilder = harness.app->window().mainView()->previewRebuilder();
    ASSERT_TRUE(rebuilder.pendingRebuild()) << "no change to rebuild";
    const PreviewViewModel& preview = harness.graph().previewViewModel();
    const std::optional<TaskHandle> before = preview.loadingTask();
    harness.time->advance(std::chrono::milliseconds(250));
    ASSERT_FALSE(rebuilder.pendingRebuild()) << "the pause has not ended";
    ASSERT_TRUE(preview.loadingTask());
    ASSERT_NE(preview.loadingTask(), before) << "nothing was loaded";
    awaitTask(preview.loadingTask()->finished());
    ASSERT_TRUE(runEventsUntil([&] {
        const auto& frame = preview.player().currentVideoFrame();
        return frame && frame->time == frameTime;
    })) << "the frame at "
        << frameTime.seconds() << " s does not show";
    settle();
}

// The grey level of the picture on screen: the test movie's left half, which
// tells its frame.
int shownLevel(MainWindow& window) {
    const QImage& picture = previewOf(window).surface().presentedImage();
    return picture.isNull() ? -1 : qRed(picture.pixel(picture.width() / 4, picture.height() / 2));
}

// The mime data a file manager gives for dragged files.
std::unique_ptr<QMimeData> filesData(const std::vector<std::filesystem::path>& files) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::filesystem::path& file : files) {
        urls.push_back(QUrl::fromLocalFile(QFile::decodeName(file.c_str())));
    }
    data->setUrls(urls);
    return data;
}

// Drags `data` over `point` of `pane` and drops it there: the events go to
// the widget under the point, as the window system delivers them. Whether the
// drag and the drop were taken.
std::pair<bool, bool> dropAt(QWidget& pane, QPoint point, const QMimeData& data) {
    QWidget* window = pane.window();
    const QPoint inWindow = pane.mapTo(window, point);
    QWidget* under = window->childAt(inWindow);
    EXPECT_NE(under, nullptr);
    const QPoint local = under->mapFrom(window, inWindow);
    QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(under, &enter);
    if (!enter.isAccepted()) {
        return {false, false};
    }
    QDropEvent drop(QPointF(local), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(under, &drop);
    return {true, drop.isAccepted()};
}

} // namespace

TEST(MainWindowPreviewTest, AnEditAndItsUndoKeepThePlayheadAndItsFrameSoSplitsFollowOneAnother) {
    AppHarness harness;
    MainWindow& window = showEditor(harness);
    addClipAndTitle(harness);
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    showRebuilt(harness, MediaTime::zero());
    PreviewViewModel& preview = harness.graph().previewViewModel();
    TimelinePanel& panel = timelineOf(window);
    const ErrorBannerViewModel& banner = harness.graph().errorBannerViewModel();
    const auto expectAtTwoSeconds = [&] {
        EXPECT_EQ(preview.currentTime(), 2.0);
        EXPECT_EQ(previewOf(window).transportBar().timeText(), QStringLiteral("0:02"));
        EXPECT_NEAR(shownLevel(window), vexel::testing::testFrameLevel(60), 2);
        EXPECT_EQ(banner.currentError(), std::nullopt);
    };

    // The clip selected on the timeline, the playhead put at 2 s, and the
    // clip split there: the preview rebuilds where it was.
    const Uuid video = timeline.project().videoClips().front().id;
    auto* videoBar = barOf<DraggableClipBar>(panel, video);
    ASSERT_NE(videoBar, nullptr);
    click(*videoBar, videoBar->rect().center());
    ASSERT_EQ(timeline.selectedClipId(), video);
    preview.seek(2);
    ASSERT_TRUE(runEventsUntil([&] {
        const auto& frame = preview.player().currentVideoFrame();
        return frame && frame->time == MediaTime(2, 1);
    }));
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(runEventsUntil([&] { return timeline.project().videoClips().size() == 2; }));
    EXPECT_EQ(timeline.project().videoClips().front().timeRange.duration, 2.0);
    showRebuilt(harness, MediaTime(2, 1));
    expectAtTwoSeconds();

    // The title cut at the same spot with a second Split at Playhead.
    const Uuid text = timeline.project().textClips().front().id;
    auto* textBar = barOf<TextOverlayBar>(panel, text);
    ASSERT_NE(textBar, nullptr);
    click(*textBar, textBar->rect().center());
    ASSERT_EQ(timeline.selectedClipId(), text);
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(runEventsUntil([&] { return timeline.project().textClips().size() == 2; }))
        << "the second split failed";
    EXPECT_EQ(timeline.project().textClips().front().timeRange.duration, 2.0);
    showRebuilt(harness, MediaTime(2, 1));
    expectAtTwoSeconds();

    // Undone: the same spot again.
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(runEventsUntil([&] { return timeline.project().textClips().size() == 1; }));
    showRebuilt(harness, MediaTime(2, 1));
    expectAtTwoSeconds();

    // A project opened in place of this one starts at its beginning.
    MainViewModel& document = harness.graph().mainViewModel();
    awaitTask(document.saveTo(harness.root / "Cut.vexel"));
    awaitTask(document.loadProject(harness.root / "Cut.vexel"));
    showRebuilt(harness, MediaTime::zero());
    EXPECT_EQ(preview.currentTime(), 0.0);
    EXPECT_EQ(previewOf(window).transportBar().timeText(), QStringLiteral("0:00"));
    EXPECT_NEAR(shownLevel(window), vexel::testing::testFrameLevel(0), 2);
    EXPECT_TRUE(harness.errors().empty());
}

TEST(MainWindowPreviewTest, MediaDroppedOnThePreviewAreStagedAndAddedAsOnTheTimeline) {
    AppHarness harness;
    MainWindow& window = showEditor(harness);
    vexel::testing::TestMovie movie;
    movie.width = 160;
    movie.height = 90;
    movie.frameCount = 30;
    vexel::testing::writeTestMovie(harness.root / "holiday.mp4", movie);
    vexel::testing::writeTestMovie(harness.root / "beach.mp4", movie);
    PreviewPlayerView& view = previewOf(window);
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    const auto videoClips = [&] { return timeline.project().videoClips(); };

    // A drag of something other than files is not taken.
    QMimeData words;
    words.setText(QStringLiteral("holiday.mp4"));
    EXPECT_EQ(dropAt(view, view.rect().center(), words), std::make_pair(false, false));

    // On the empty preview, which asks for them.
    ASSERT_TRUE(view.emptyState().isVisible());
    EXPECT_EQ(dropAt(view, view.rect().center(), *filesData({harness.root / "holiday.mp4"})),
              std::make_pair(true, true));
    ASSERT_TRUE(
        runEventsUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 1; }));
    EXPECT_EQ(videoClips().front().assetName, "holiday.mp4");
    EXPECT_EQ(videoClips().front().assetURL->parent_path(), harness.stagingFolder());
    showRebuilt(harness, MediaTime::zero());
    EXPECT_FALSE(view.emptyState().isVisible());

    // On the picture: placed by the timeline, after what is there.
    EXPECT_EQ(dropAt(view, view.surface().contentRect().center().toPoint(),
                     *filesData({harness.root / "beach.mp4"})),
              std::make_pair(true, true));
    ASSERT_TRUE(
        runEventsUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 2; }));
    EXPECT_EQ(videoClips()[1].assetName, "beach.mp4");
    EXPECT_EQ(videoClips()[1].timeRange.startTime, videoClips()[0].timeRange.duration);

    // What the timeline refuses, the preview refuses the same way.
    EXPECT_EQ(dropAt(view, view.rect().center(), *filesData({harness.root / "notes.txt"})),
              std::make_pair(true, true));
    // Its name says nothing, so it is looked into off the GUI thread first.
    ASSERT_TRUE(runEventsUntil(
        [&] { return harness.graph().errorBannerViewModel().currentError().has_value(); }));
    EXPECT_EQ(harness.graph().errorBannerViewModel().currentError()->message,
              "No supported file types in drop");
    EXPECT_EQ(videoClips().size(), 2u);
}

namespace {

// A click beside an open popup, at `global`, delivered as an X server
// delivers it: the popup holds the pointer, so the press goes to its window,
// and so do the moves and the release for as long as it holds it. Once it
// has closed its window is gone: the rest of a quick click, already addressed
// to it, is lost, while a slow click's goes to the window under the pointer.
void clickBesidePopup(QWidget& popup, QWindow& window, QPoint global, bool quick) {
    const QPointer<QWidget> grabbing(&popup);
    const QPointer<QWindow> grab(popup.windowHandle());
    ASSERT_NE(grab, nullptr);
    QTest::mousePress(grab, Qt::LeftButton, {}, grab->mapFromGlobal(global));
    if (!quick) {
        settle();
    }
    const auto addressee = [&]() -> QWindow* {
        if (grabbing && grabbing->isVisible() && grab) {
            return grab;
        }
        return quick ? nullptr : &window;
    };
    // A hand never holds quite still.
    const QPoint moved = global + QPoint(2, 1);
    if (QWindow* to = addressee()) {
        QTest::mouseMove(to, to->mapFromGlobal(moved));
    }
    if (QWindow* to = addressee()) {
        QTest::mouseRelease(to, Qt::LeftButton, {}, to->mapFromGlobal(moved));
    }
    settle();
}

// The bottom lane (an empty audio lane) wherever `popup` leaves it in sight.
QPoint lanesBeside(TrackLanesView& lanes, const QWidget& popup) {
    QPoint global;
    for (const double share : {0.9, 0.75, 0.6, 0.45}) {
        global = lanes.mapToGlobal(QPoint(int(lanes.width() * share), lanes.height() - 4));
        if (!popup.frameGeometry().contains(global)) {
            break;
        }
    }
    return global;
}

} // namespace

TEST(MainWindowPreviewTest, OneClickBesideTheTextInspectorClosesItAndActsAsWithNoInspectorOpen) {
    AppHarness harness;
    MainWindow& window = showEditor(harness);
    addClipAndTitle(harness);
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    PreviewViewModel& preview = harness.graph().previewViewModel();
    showRebuilt(harness, MediaTime::zero());
    PreviewPlayerView& view = previewOf(window);
    PreviewOverlayWidget& overlay = view.overlay();
    TrackLanesView& lanes = *timelineOf(window).content()->lanes();
    std::vector<PreviewOverlayWidget::Drawn> drawn = overlay.drawnOverlays();
    ASSERT_EQ(drawn.size(), 1u);
    const Uuid text = drawn[0].clipId;
    const QPoint onText = drawn[0].placement.outline().boundingRect().center().toPoint();

    enum class Target { picture, lanes, text };
    const struct {
        const char* name;
        Target target;
        bool quick;
    } cases[] = {
        {"the picture beside every text, quickly", Target::picture, true},
        {"the picture beside every text, slowly", Target::picture, false},
        {"the lanes' background, quickly", Target::lanes, true},
        {"the lanes' background, slowly", Target::lanes, false},
        {"the text again, quickly", Target::text, true},
        {"the text again, slowly", Target::text, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        preview.seek(0);
        click(overlay, onText);
        ASSERT_NE(view.textInspector().form(), nullptr) << "a click on a text opens it";
        ASSERT_EQ(timeline.selectedClipId(), text);
        const Uuid opened = view.textInspector().form()->state().id();
        QWidget* popup = view.textInspector().form()->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));

        // The picture's left edge half way down, the bottom lane (an empty
        // audio lane) wherever the popup leaves it in sight, or the text.
        QPoint global;
        switch (c.target) {
        case Target::picture: {
            const QRectF picture = overlay.contentRect();
            global =
                overlay.mapToGlobal(QPoint(int(picture.left()) + 8, int(picture.center().y())));
            break;
        }
        case Target::lanes:
            global = lanesBeside(lanes, *popup);
            break;
        case Target::text:
            global = overlay.mapToGlobal(onText);
            break;
        }
        ASSERT_FALSE(popup->frameGeometry().contains(global)) << "the popup covers the point";
        clickBesidePopup(*popup, *window.windowHandle(), global, c.quick);

        if (c.target == Target::text) {
            // A fresh form for it, as a click on a text always opens.
            ASSERT_NE(view.textInspector().form(), nullptr);
            EXPECT_NE(view.textInspector().form()->state().id(), opened);
            EXPECT_EQ(view.textInspector().form()->state().originalClip().id, text);
            EXPECT_EQ(timeline.selectedClipId(), text);
            view.textInspector().close();
            settle();
            continue;
        }
        EXPECT_EQ(view.textInspector().form(), nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(timeline.selectedClipId(), std::nullopt);
        if (c.target == Target::lanes) {
            // Where the press went down on the lanes, and the moves after it.
            const double x = lanes.mapFromGlobal(global).x();
            const double seconds = timeline.displayDuration() / lanes.width();
            EXPECT_NEAR(preview.currentTime(), x * seconds, 3 * seconds);
            EXPECT_GT(preview.currentTime(), 1.0);
        } else {
            EXPECT_EQ(preview.currentTime(), 0.0);
        }
    }
    EXPECT_EQ(timeline.project().textClips().size(), 1u) << "clicks edit nothing";
    EXPECT_TRUE(harness.errors().empty());
}

TEST(MainWindowPreviewTest, OneClickBesideAnInspectorOfTheTimelineClosesItAndSeeksAsWithNoneOpen) {
    AppHarness harness;
    MainWindow& window = showEditor(harness);
    addClipAndTitle(harness);
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    PreviewViewModel& preview = harness.graph().previewViewModel();
    showRebuilt(harness, MediaTime::zero());
    TimelinePanel& panel = timelineOf(window);
    TrackLanesView& lanes = *panel.content()->lanes();
    std::optional<Clip> video;
    for (const Track& track : timeline.project().tracks) {
        if (track.type == TrackType::video && !track.clips.empty()) {
            video = track.clips.front();
        }
    }
    ASSERT_TRUE(video.has_value());
    const Clip title = timeline.project().textClips().at(0);

    for (const bool effects : {true, false}) {
        SCOPED_TRACE(effects ? "the clip's effects" : "the title's text");
        preview.seek(0);
        const Uuid id = effects ? video->id : title.id;
        timeline.selectClip(id);
        panel.inspectors().open(effects ? TimelineInspectors::Kind::effect
                                        : TimelineInspectors::Kind::text,
                                effects ? *video : title);
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr) << "the inspector opens as a popup";
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        ASSERT_TRUE(panel.inspectors().openInspector().has_value());

        const QPoint global = lanesBeside(lanes, *popup);
        ASSERT_FALSE(popup->frameGeometry().contains(global)) << "the popup covers the lanes";
        clickBesidePopup(*popup, *window.windowHandle(), global, true);

        EXPECT_FALSE(panel.inspectors().openInspector().has_value());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(timeline.selectedClipId(), std::nullopt) << "the same click deselects";
        const double seconds = timeline.displayDuration() / lanes.width();
        EXPECT_NEAR(preview.currentTime(), lanes.mapFromGlobal(global).x() * seconds, 3 * seconds)
            << "and seeks";
    }
    EXPECT_EQ(timeline.project().textClips().size(), 1u) << "clicks edit nothing";
    EXPECT_TRUE(harness.errors().empty());
}
