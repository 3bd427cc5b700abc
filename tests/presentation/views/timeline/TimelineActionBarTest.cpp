#include "presentation/views/timeline/TimelineActionBar.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/TimelinePanelHarness.h"
#include "presentation/views/timeline/TimelineEmptyState.h"
#include "presentation/views/timeline/TrackIconColumn.h"
#include "presentation/views/timeline/TrackLanesView.h"

#include <QAbstractButton>
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

std::vector<std::string> titles(const QMenu& menu) {
    std::vector<std::string> result;
    for (const QAction* action : menu.actions()) {
        result.push_back(action->text().toStdString());
    }
    return result;
}

TEST(TimelineActionBarTest, UndoRedoAndExportFollowTheProject) {
    test::TimelinePanelHarness screen(Project::makeNew());
    TimelineActionBar& bar = *screen.panel->actionBar();
    TimelineViewModel& timeline = screen.timeline();
    EXPECT_FALSE(bar.undoButton()->isEnabled());
    EXPECT_FALSE(bar.redoButton()->isEnabled());
    EXPECT_FALSE(bar.exportButton()->isEnabled());
    EXPECT_TRUE(screen.panel->content()->lanes()->emptyState()->isVisible());
    EXPECT_EQ(bar.undoButton()->toolTip(), QStringLiteral("Undo (Ctrl+Z)"));
    EXPECT_EQ(bar.redoButton()->toolTip(), QStringLiteral("Redo (Ctrl+Shift+Z)"));
    EXPECT_EQ(titles(*bar.addMenu()), (std::vector<std::string>{"Add File", "Add Text"}));
    EXPECT_EQ(titles(*bar.exportMenu()),
              (std::vector<std::string>{"Export as .mov", "Export as .mp4"}));

    EditCommand::AddText title;
    title.text = "Hello";
    title.duration = 2;
    test::awaitTask(timeline.executeCommand(title));
    EXPECT_TRUE(bar.exportButton()->isEnabled());
    EXPECT_TRUE(bar.undoButton()->isEnabled());
    EXPECT_FALSE(screen.panel->content()->lanes()->emptyState()->isVisible());

    bar.undoButton()->click();
    EXPECT_TRUE(timeline.project().textClips().empty());
    EXPECT_FALSE(bar.exportButton()->isEnabled());
    EXPECT_FALSE(bar.undoButton()->isEnabled());
    EXPECT_TRUE(bar.redoButton()->isEnabled());
    bar.redoButton()->click();
    EXPECT_EQ(timeline.project().textClips().size(), 1u);

    // The menus call the window's wiring, or nothing without it.
    std::vector<ExportFormat> exported;
    int addFiles = 0;
    for (QAction* item : bar.exportMenu()->actions()) {
        item->trigger();
    }
    bar.addMenu()->actions()[0]->trigger();
    screen.panel->setOnExport([&](ExportFormat format) { exported.push_back(format); });
    screen.panel->setOnAddFile([&] { ++addFiles; });
    for (QAction* item : bar.exportMenu()->actions()) {
        item->trigger();
    }
    bar.addMenu()->actions()[0]->trigger();
    EXPECT_EQ(exported, (std::vector<ExportFormat>{ExportFormat::mov, ExportFormat::mp4}));
    EXPECT_EQ(addFiles, 1);
}

TEST(TimelineActionBarTest, LaneIconsRunVideoImageTextAudioWithLinesBetween) {
    test::TimelinePanelHarness screen(
        Project({makeTrack(TrackType::audio, "Audio 1", {makeClip(0, 2, TrackType::audio)}),
                 makeTrack(TrackType::text, "Text 1"), makeTrack(TrackType::video, "Video 1"),
                 makeTrack(TrackType::image, "Image 1")},
                3600));
    TrackIconColumn& icons = *screen.panel->content()->iconColumn();
    EXPECT_EQ(icons.iconNames(),
              (std::vector<std::string>{"video", "photo", "textformat", "waveform"}));
    EXPECT_EQ(icons.accessibleName(),
              QStringLiteral("Video track, Image track, Text track, Audio track"));

    // A line one pixel above every lane but the first.
    const double laneHeight = screen.panel->content()->lanes()->laneHeight();
    const QImage drawn = icons.grab().toImage();
    const auto lightness = [&](int y) { return drawn.pixelColor(1, y).lightness(); };
    EXPECT_EQ(lightness(18 - 1), lightness(18 + 1));
    for (int lane = 1; lane < 4; ++lane) {
        const int top = static_cast<int>(std::lround(18 + lane * (laneHeight + 1)));
        EXPECT_GT(lightness(top - 1), lightness(top + 1)) << lane;
    }
}

} // namespace
