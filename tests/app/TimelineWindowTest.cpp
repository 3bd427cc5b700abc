// The timeline in the window the application makes: the ruler taken as the
// playhead's strip, pressed and dragged through the window system, and a
// project of 100,000 titles on one track that opens, scrolls, zooms and takes
// an edit.

#include "app/AppHarness.h"
#include "data/persistence/PersistedProject.h"
#include "data/persistence/ProjectFile.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/LaneSlivers.h"
#include "presentation/views/timeline/PlayheadStripChecks.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TextOverlayRow.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackLanesView.h"

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
