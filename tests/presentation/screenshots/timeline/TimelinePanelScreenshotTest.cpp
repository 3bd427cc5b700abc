#include "presentation/views/timeline/TimelinePanel.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/Screenshot.h"
#include "presentation/support/TimelinePanelHarness.h"
#include "presentation/views/timeline/AddTextPopover.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelineEmptyState.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackLanesView.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

Project everyKindOfLane(Uuid& selected) {
    Clip beach = makeClip(0, 14, TrackType::video, "beach.mov");
    beach.colorAdjust = ColorAdjust{0.2, 1, 1};
    const Clip city = makeClip(15, 12, TrackType::video, "city at night.mov");
    const Clip logo = makeClip(3, 6, TrackType::image, "logo.png");
    const Clip title = makeClip(1, 5, TrackType::text, "Summer 2024");
    const Clip credits = makeClip(21, 6, TrackType::text, "Thanks for watching");
    const Clip music = makeClip(0, 27, TrackType::audio, "music.mp3");
    const Clip voice = makeClip(4, 9, TrackType::audio, "voice.wav");
    selected = city.id;
    return Project({makeTrack(TrackType::video, "Video 1", {beach, city}),
                    makeTrack(TrackType::image, "Image 1", {logo}),
                    makeTrack(TrackType::text, "Text 1", {title, credits}),
                    makeTrack(TrackType::audio, "Audio 1", {music}, true),
                    makeTrack(TrackType::audio, "Audio 2", {voice}, true),
                    makeTrack(TrackType::audio, "Audio 3", {}, true)},
                   3600);
}

TEST(TimelinePanelScreenshotTest, EmptyLanesRulerAndZoom) {
    {
        test::TimelinePanelHarness screen(Project::makeNew(), true, QSize(900, 320));
        const QImage empty = test::saveScreenshot(*screen.panel, "timeline-panel-empty.png");
        EXPECT_TRUE(screen.panel->content()->lanes()->emptyState()->isVisible());
        EXPECT_EQ(empty.size(), QSize(900, 320));
    }
    Uuid selected;
    test::TimelinePanelHarness screen(everyKindOfLane(selected), true, QSize(900, 320));
    screen.timeline().selectClip(selected);
    screen.preview->seek(9.5);
    test::saveScreenshot(*screen.panel, "timeline-panel-lanes.png");
    EXPECT_FALSE(screen.panel->content()->lanes()->emptyState()->isVisible());

    screen.timeline().setZoomLevel(10);
    test::saveScreenshot(*screen.panel, "timeline-zoom-10.png");

    QWidget strip;
    strip.setAutoFillBackground(true);
    strip.resize(620, 28);
    TimelineRuler ruler(&strip);
    ruler.setGeometry(10, 5, 600, TimelineRuler::rulerHeight);
    ruler.setDisplayDuration(60);
    strip.show();
    test::saveScreenshot(strip, "timeline-ruler-60s.png");
}

TEST(TimelinePanelScreenshotTest, ActionBarEmptyStateAddTextAndImporting) {
    test::TimelinePanelHarness screen(Project::makeNew(), true, QSize(900, 320));
    TimelinePanel& panel = *screen.panel;
    test::saveScreenshot(*panel.content(), "timeline-empty-state.png");

    screen.timeline().setImportingCount(3);
    ASSERT_TRUE(panel.importingRow()->isVisible());
    test::saveScreenshot(panel, "timeline-importing.png");
    screen.timeline().setImportingCount(0);

    EditCommand::AddText title;
    title.text = "Opening title";
    title.duration = 4;
    test::awaitTask(screen.timeline().executeCommand(title));
    const QImage bar = test::saveScreenshot(*panel.actionRow(), "timeline-action-bar.png");
    EXPECT_TRUE(panel.actionBar()->exportButton()->isEnabled());
    EXPECT_GT(bar.width(), 100);

    panel.showAddText();
    AddTextPopover& form = *panel.addTextPopover();
    QTest::keyClicks(form.field(), QString(501, u'x'));
    ASSERT_TRUE(form.limitMessage()->isVisible());
    test::saveScreenshot(form, "add-text-over-limit.png");
    form.close();
}

} // namespace
