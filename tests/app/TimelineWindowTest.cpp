// The timeline in the window the application makes: the ruler taken as the
// playhead's strip, pressed and dragged through the window system; zoom
// buttons clicked again and again at one spot; the error banner coming and
// going over a timeline whose clips stay where they were aimed at; and a
// project of 100,000 titles on one track that opens, scrolls, zooms and takes
// an edit.

#include "app/AppHarness.h"
#include "data/persistence/PersistedProject.h"
#include "data/persistence/ProjectFile.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "presentation/support/Pointer.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/LaneSlivers.h"
#include "presentation/views/timeline/PlayheadStripChecks.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TextOverlayRow.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "support/RunEventsUntil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

using namespace vexel;
using namespace vexel::test;

namespace {

// Lets the preview's rebuild after a change of the project start, and waits
// until it has loaded.
void awaitPreview(AppHarness& harness) {
    settle();
    harness.time->advance(std::chrono::seconds(1));
    if (const std::optional<TaskHandle>& loading =
            harness.graph().previewViewModel().loadingTask()) {
        awaitTask(loading->finished());
    }
    settle();
}

} // namespace

TEST(TimelineWindowTest, APressOnTheRulerSeeksAndADragFromItScrubsAsTheLanesDo) {
    AppHarness harness;
    const std::filesystem::path movie = harness.root / "clip.mp4";
    vexel::testing::writeTestMovie(movie, {.frameCount = 90, .maxKeyFrameInterval = 30});
    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = "clip.mp4";
    clip.assetURL = movie;
    clip.timeRange = {0, 3};
    Project project = Project::makeNew();
    project.tracks.insert(project.tracks.begin(),
                          Track{Uuid::random(), TrackType::video, "Video 1", {clip}, false});
    const std::filesystem::path folder = harness.root / "Clip.vexel";
    ProjectPersistenceService().save(project, folder);

    AppController& app = harness.launch(folder);
    awaitPreview(harness);
    MainWindow& window = app.window();
    PreviewViewModel& preview = harness.graph().previewViewModel();
    ASSERT_TRUE(preview.hasContent());
    auto& view = dynamic_cast<PreviewPlayerView&>(window.mainView()->previewPane());
    TimelineRuler& ruler = *window.findChild<TimelinePanel*>()->content()->ruler();
    Pointer pointer(ruler);
    expectPressSeeksAndDragScrubs(
        pointer,
        [&](double seconds) {
            return QPoint(static_cast<int>(seconds / ruler.displayDuration() * ruler.width()),
                          ruler.height() / 2);
        },
        preview, view.surface());
}

namespace {

// A folder of a project whose one video track holds a three-second movie at
// each of `starts`.
std::filesystem::path writeClipsProject(AppHarness& harness, std::initializer_list<double> starts) {
    const std::filesystem::path movie = harness.root / "clip.mp4";
    vexel::testing::writeTestMovie(movie, {.frameCount = 90});
    Project project = Project::makeNew();
    Track video{Uuid::random(), TrackType::video, "Video 1", {}, false};
    for (const double start : starts) {
        Clip clip;
        clip.id = Uuid::random();
        clip.assetName = "clip.mp4";
        clip.assetURL = movie;
        clip.timeRange = {start, 3};
        video.clips.push_back(clip);
    }
    project.tracks.insert(project.tracks.begin(), std::move(video));
    const std::filesystem::path folder = harness.root / "Clips.vexel";
    ProjectPersistenceService().save(project, folder);
    return folder;
}

MainWindow& activeWindow(AppController& app) {
    MainWindow& window = app.window();
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    settle();
    return window;
}

DraggableClipBar* barOf(TimelinePanel& panel, const Uuid& clipId) {
    for (DraggableClipBar* bar : panel.findChildren<DraggableClipBar*>()) {
        if (bar->isVisible() && bar->clip().id == clipId) {
            return bar;
        }
    }
    return nullptr;
}

} // namespace

TEST(TimelineWindowTest, ZoomButtonsStayUnderThePointerSoClicksAtOneSpotZoomStepByStep) {
    AppHarness harness;
    AppController& app = harness.launch(writeClipsProject(harness, {0}));
    harness.graph().tutorialState().setCurrentStep(std::nullopt);
    MainWindow& window = activeWindow(app);
    TimelinePanel& panel = *window.findChild<TimelinePanel*>();
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    ASSERT_EQ(timeline.zoomLevel(), 1.0);
    ASSERT_FALSE(panel.resetZoomButton()->isVisible());

    // Each button clicked four times where it first stood, as a hand does
    // without looking: zoom in by steps, then back out past 1:1.
    Pointer pointer(window);
    const auto spotOf = [&](QAbstractButton* button) {
        return button->mapTo(&window, button->rect().center());
    };
    struct Step {
        QAbstractButton* button;
        double zoom;
        bool resetShown;
    };
    const QPoint zoomIn = spotOf(panel.zoomInButton());
    const QPoint zoomOut = spotOf(panel.zoomOutButton());
    const Step steps[] = {
        {panel.zoomInButton(), 1.25, true},      {panel.zoomInButton(), 1.5625, true},
        {panel.zoomInButton(), 1.953125, true},  {panel.zoomInButton(), 2.44140625, true},
        {panel.zoomOutButton(), 1.953125, true}, {panel.zoomOutButton(), 1.5625, true},
        {panel.zoomOutButton(), 1.25, true},     {panel.zoomOutButton(), 1.0, false},
        {panel.zoomOutButton(), 0.8, true},
    };
    for (const Step& step : steps) {
        const QPoint spot = step.button == panel.zoomInButton() ? zoomIn : zoomOut;
        pointer.click(spot);
        settle();
        EXPECT_DOUBLE_EQ(timeline.zoomLevel(), step.zoom)
            << "a click at the spot where " << step.button->accessibleName().toStdString()
            << " stood";
        EXPECT_EQ(panel.resetZoomButton()->isVisible(), step.resetShown);
        EXPECT_EQ(spotOf(panel.zoomInButton()), zoomIn) << "\"+\" moved at zoom " << step.zoom;
        EXPECT_EQ(spotOf(panel.zoomOutButton()), zoomOut) << "\"-\" moved at zoom " << step.zoom;
        if (step.zoom == 2.44140625) {
            saveScreenshot(window, "timeline-zoomed-in-at-one-spot.png");
        }
    }
}

TEST(TimelineWindowTest, TheBannerComingAndGoingMovesNeitherTheRulerNorTheClips) {
    AppHarness harness;
    AppController& app = harness.launch(writeClipsProject(harness, {0, 4}));
    harness.graph().tutorialState().setCurrentStep(std::nullopt);
    MainWindow& window = activeWindow(app);
    TimelinePanel& panel = *window.findChild<TimelinePanel*>();
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    const ErrorBannerViewModel& banner = harness.graph().errorBannerViewModel();
    auto* bannerView = window.findChild<ErrorBannerView*>();
    ASSERT_NE(bannerView, nullptr);
    const std::vector<Clip> clips = timeline.project().videoClips();
    ASSERT_EQ(clips.size(), 2u);
    TimelineRuler& ruler = *panel.content()->ruler();

    struct Places {
        QPoint ruler;
        QRect first;
        QRect second;
        bool operator==(const Places&) const = default;
    };
    const auto places = [&] {
        settle();
        const auto onScreen = [&](const Uuid& id) {
            DraggableClipBar* bar = barOf(panel, id);
            return bar ? QRect(bar->mapTo(&window, QPoint(0, 0)), bar->size()) : QRect();
        };
        return Places{ruler.mapTo(&window, QPoint(0, 0)), onScreen(clips[0].id),
                      onScreen(clips[1].id)};
    };
    const Places before = places();
    ASSERT_FALSE(before.first.isEmpty());
    ASSERT_FALSE(before.second.isEmpty());

    // The first clip selected and the playhead put after it: Ctrl+B cannot
    // split it, and the banner says so.
    Pointer pointer(window);
    pointer.click(before.first.center());
    settle();
    ASSERT_EQ(timeline.selectedClipId(), clips[0].id);
    pointer.click(ruler.mapTo(&window, QPoint(ruler.width() - 4, ruler.height() / 2)));
    settle();
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return bannerView->isVisible(); }));
    ASSERT_EQ(banner.currentError()->message, "Cannot split clip here");
    const Places during = places();
    EXPECT_EQ(during.ruler, before.ruler) << "the banner moved the ruler";
    EXPECT_EQ(during.first, before.first) << "the banner moved the first clip";
    EXPECT_EQ(during.second, before.second) << "the banner moved the second clip";
    // It lies over the header, beside the zoom controls it leaves in reach.
    const QRect shown(bannerView->mapTo(&window, QPoint(0, 0)), bannerView->size());
    const QRect header(panel.header()->mapTo(&window, QPoint(0, 0)), panel.header()->size());
    EXPECT_EQ(shown.top(), header.top());
    EXPECT_EQ(shown.bottom(), header.bottom());
    EXPECT_LT(shown.right(), panel.zoomControls()->mapTo(&window, QPoint(0, 0)).x());
    saveScreenshot(window, "timeline-banner-over-the-header.png");

    // A click aimed at the second clip from what showed before the banner
    // lands on it.
    pointer.click(before.second.center());
    settle();
    EXPECT_EQ(timeline.selectedClipId(), clips[1].id) << "the click missed the clip aimed at";

    // Gone by itself after its delay: still nothing moves.
    harness.time->advance(banner.autoDismissDelay());
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return bannerView->isHidden(); }));
    EXPECT_EQ(places(), before) << "the banner's going moved the timeline";
    pointer.click(before.first.center());
    settle();
    EXPECT_EQ(timeline.selectedClipId(), clips[0].id);
    EXPECT_EQ(timeline.project().videoClips(), clips);
}

namespace {

constexpr int kTitles = 100'000;

// A folder of a project whose one text track holds `count` short titles one
// after the other across the whole hour, in the file form the editor reads.
void writeTitlesProject(const std::filesystem::path& folder, int count) {
    Project project = Project::makeNew();
    Track titles{Uuid::random(), TrackType::text, "Text 1", {}, false};
    titles.clips.reserve(static_cast<std::size_t>(count));
    const double spacing = project.maxDuration / count;
    for (int i = 0; i < count; ++i) {
        Clip clip;
        clip.id = Uuid::random();
        clip.trackType = TrackType::text;
        clip.assetName = "Line " + std::to_string(i);
        clip.volume = 0;
        clip.timeRange = {i * spacing, spacing * 0.8};
        titles.clips.push_back(std::move(clip));
    }
    project.tracks.insert(project.tracks.begin(), std::move(titles));
    Json json;
    to_json(json, ProjectFile{ProjectFile::currentVersion, PersistedProject::forAutoSave(project)});
    std::filesystem::create_directories(folder / "assets");
    std::ofstream(folder / "project.json") << json.dump();
}

// Runs the application's start-up on `folder` to the end, however long
// reading 100,000 clips takes (far longer in an instrumented build than the
// harness waits).
AppController& launchLarge(AppHarness& harness, const std::filesystem::path& folder) {
    AppController& app = harness.make(folder);
    app.start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (app.startup() && !app.startup()->isFinished() &&
           std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    settle();
    return app;
}

// Whether a sliver of the lane shows in column `x` of it, where the pointer
// reaches its clip.
bool sliverAt(const TextOverlayRow& row, int x) {
    const LaneSlivers& slivers = row.slivers();
    return slivers.isVisible() && slivers.mask().contains(QPoint(x, row.height() / 2));
}

} // namespace

TEST(TimelineWindowTest, AHundredThousandTitlesOpenScrollZoomAndTakeAnEdit) {
    AppHarness harness;
    const std::filesystem::path folder = harness.root / "Titles.vexel";
    writeTitlesProject(folder, kTitles);

    AppController& app = launchLarge(harness, folder);
    ASSERT_TRUE(app.startup() && app.startup()->isFinished()) << "the project did not open";
    MainWindow& window = app.window();
    TimelineViewModel& timeline = harness.graph().timelineViewModel();
    ASSERT_EQ(timeline.project().textClips().size(), std::size_t{kTitles});
    auto* panel = window.findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr);
    TimelineContentView& content = *panel->content();
    TextOverlayRow& row = *content.lanes()->textRow();
    window.grab();

    // Zoomed in as far as it goes, the titles are still 27 a second: they
    // show as slivers, and scrolled sideways by the wheel, the ones further on
    // come into sight.
    for (int step = 0; step < 11; ++step) {
        panel->zoomInButton()->click();
        settle();
    }
    ASSERT_EQ(timeline.zoomLevel(), 10);
    window.grab();
    QScrollBar& sideways = *content.horizontalBar();
    const int further = sideways.pageStep() + sideways.pageStep() / 2;
    EXPECT_TRUE(sliverAt(row, sideways.pageStep() / 2));
    EXPECT_FALSE(sliverAt(row, further));
    EXPECT_LT(row.bars().size(), 10u);
    const QPointF middle = content.rect().center();
    while (sideways.value() < sideways.pageStep()) {
        QWheelEvent wheel(middle, content.mapToGlobal(middle), QPoint(), QPoint(-120, 0),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&content, &wheel);
        settle();
    }
    window.grab();
    EXPECT_TRUE(sliverAt(row, further));

    // A title in sight clicked through the window, selected and deleted with
    // the key.
    const QPoint click(further, row.height() / 2);
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    Pointer(row).click(click);
    settle();
    ASSERT_TRUE(timeline.selectedClipId().has_value());
    const Uuid chosen = *timeline.selectedClipId();
    const TextOverlayBar* bar = row.bar(chosen);
    ASSERT_NE(bar, nullptr) << "the selected title has no bar";
    EXPECT_TRUE(bar->geometry().contains(click));
    QTest::keyClick(&window, Qt::Key_Delete);
    settle();
    awaitTask(timeline.holdEdits());
    settle();
    EXPECT_EQ(timeline.project().textClips().size(), std::size_t{kTitles - 1});
    EXPECT_EQ(timeline.project().findClip(chosen), nullptr);
    window.grab();
    EXPECT_EQ(row.bar(chosen), nullptr);
}
