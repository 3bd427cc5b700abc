#include "presentation/views/timeline/TrackRow.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/Pointer.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/LaneSlivers.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;
using Edge = TimelineBarMetrics::ClipEdge;

namespace {

// What the bars of a row reported, in order.
struct Reports {
    std::vector<std::string> calls;
    std::vector<Uuid> selected;
    std::vector<std::pair<Uuid, double>> moves;
    std::vector<std::tuple<Uuid, double, double>> trims;
    std::vector<std::tuple<Uuid, Uuid, double>> trackMoves;
    std::vector<double> scrubs;

    std::shared_ptr<const ClipBarActions> actions() {
        auto actions = std::make_shared<ClipBarActions>();
        actions->onSelect = [this](const Uuid& id) {
            calls.push_back("select");
            selected.push_back(id);
        };
        actions->onMove = [this](const Uuid& id, double start) {
            calls.push_back("move");
            moves.emplace_back(id, start);
        };
        actions->onTrim = [this](const Uuid& id, double offset, double duration) {
            calls.push_back("trim");
            trims.emplace_back(id, offset, duration);
        };
        actions->onDelete = [this](const Uuid&) { calls.push_back("delete"); };
        actions->onDuplicate = [this](const Uuid&) { calls.push_back("duplicate"); };
        actions->onSplit = [this](const Uuid&) { calls.push_back("split"); };
        actions->onOpenCommandPalette = [this] { calls.push_back("palette"); };
        actions->onEditEffects = [this](const Uuid&) { calls.push_back("effects"); };
        actions->onMoveToTrack = [this](const Uuid& id, const Uuid& track, double start) {
            calls.push_back("moveToTrack");
            trackMoves.emplace_back(id, track, start);
        };
        actions->onTrimScrub = [this](double time) { scrubs.push_back(time); };
        return actions;
    }
};

// A row 1000 px wide over 100 s (10 px a second) in a window of its own,
// lanes 40 px high. The window reaches 50 px to either side of the row, where
// drags may end.
struct RowOnScreen {
    explicit RowOnScreen(const Track& track, std::vector<Uuid> audioLanes = {}) {
        window.resize(1100, 40);
        row = new TrackRow(nullptr, nullptr, &window);
        row->setGeometry(50, 0, 1000, 40);
        row->setMaxDuration(100);
        row->setLaneHeight(40);
        row->setAudioTrackLanes(std::move(audioLanes));
        row->setActions(reports.actions());
        row->setTrack(track);
        window.show();
    }

    DraggableClipBar& bar(const Clip& clip) const { return *row->bar(clip.id); }
    // Gestures at points of the row.
    test::Pointer pointer() const { return test::Pointer(*row); }

    Reports reports;
    QWidget window;
    TrackRow* row = nullptr;
};

TEST(TrackRowTest, GivesEachBarItsPlaceColourEdgesAndLaneAndKeepsItAcrossChanges) {
    const Clip first = makeClip(0, 2);
    Clip second = makeClip(5, 3);
    const Track video = makeTrack(TrackType::video, "Video 1", {first, second});
    const Uuid audioLane = Uuid::random();
    RowOnScreen screen(video, {audioLane});
    TrackRow& row = *screen.row;

    EXPECT_EQ(row.accessibleName(), QStringLiteral("Video 1, 2 clips"));
    ASSERT_EQ(row.bars().size(), 2u);
    EXPECT_EQ(screen.bar(first).geometry(), QRect(0, 0, 20, 40));
    EXPECT_EQ(screen.bar(second).geometry(), QRect(50, 0, 30, 40));
    EXPECT_EQ(screen.bar(first).snapPoints(), (std::vector<double>{5, 8}));
    EXPECT_EQ(screen.bar(second).snapPoints(), (std::vector<double>{0, 2}));
    EXPECT_EQ(screen.bar(first).nextClipStart(), 5.0);
    EXPECT_EQ(screen.bar(second).nextClipStart(), std::nullopt);
    EXPECT_EQ(screen.bar(first).clipColor(), toQColor(VexelColors::trackVideo));
    EXPECT_EQ(screen.bar(second).crossTrack(), (CrossTrackConfig{{audioLane}, video.id, 40}));

    row.setSelectedClipId(second.id);
    EXPECT_FALSE(screen.bar(first).isSelected());
    EXPECT_TRUE(screen.bar(second).isSelected());
    row.setSelectedClipId(std::nullopt);
    EXPECT_FALSE(screen.bar(second).isSelected());

    // A drag survives the project changing under it: the bar is the same one.
    DraggableClipBar* secondBar = &screen.bar(second);
    row.setSelectedClipId(second.id);
    test::Pointer pointer = screen.pointer();
    pointer.press({65, 20}).moveTo({85, 20});
    second.assetName = "renamed.mov";
    row.setTrack(makeTrack(TrackType::video, "Video 1", {first, second}));
    EXPECT_EQ(row.bar(second.id), secondBar);
    EXPECT_DOUBLE_EQ(secondBar->dragOffset(), 20);
    pointer.moveTo({95, 20}).release({95, 20});
    ASSERT_EQ(screen.reports.moves.size(), 1u);
    EXPECT_DOUBLE_EQ(screen.reports.moves[0].second, 8);

    // Zoomed in: the bars follow the row's width. A clip that left takes its
    // bar; a 0.01 s clip is still 4 px wide.
    const Clip tiny = makeClip(20, 0.01);
    row.setTrack(makeTrack(TrackType::video, "Video 1", {second, tiny}));
    row.setGeometry(0, 0, 2000, 40);
    EXPECT_EQ(row.bar(first.id), nullptr);
    EXPECT_EQ(row.bar(second.id), secondBar);
    EXPECT_EQ(secondBar->geometry(), QRect(100, 0, 60, 40));
    EXPECT_EQ(screen.bar(tiny).geometry(), QRect(400, 0, 4, 40));
    EXPECT_EQ(row.accessibleName(), QStringLiteral("Video 1, 2 clips"));
    // A taller row alone, as when the panel grows: every bar takes its height.
    row.setGeometry(0, 0, 2000, 44);
    EXPECT_EQ(secondBar->geometry(), QRect(100, 0, 60, 44));
    EXPECT_EQ(screen.bar(tiny).geometry(), QRect(400, 0, 4, 44));

    RowOnScreen empty(makeTrack(TrackType::audio, "Audio 1"));
    EXPECT_EQ(empty.row->accessibleName(), QStringLiteral("Audio 1, 0 clips"));
    EXPECT_TRUE(empty.row->bars().empty());
}

TEST(TrackRowTest, TapsSelectAndMovesSnapToTheNeighboursEdges) {
    const Clip neighbour = makeClip(3, 2); // ends at 5 s, x 50
    const Clip clip = makeClip(10, 3);     // x 100 ... 130
    RowOnScreen screen(makeTrack(TrackType::video, "Video 1", {neighbour, clip}));
    Reports& reports = screen.reports;
    test::Pointer pointer = screen.pointer();

    // A tap selects; so does a drag on an unselected bar, which moves nothing
    // while the bar is not shown selected.
    pointer.click({115, 20});
    pointer.drag({{115, 20}, {135, 20}, {175, 25}});
    EXPECT_EQ(reports.calls, (std::vector<std::string>{"select", "select", "select"}));
    EXPECT_EQ(reports.selected, (std::vector<Uuid>{clip.id, clip.id, clip.id}));
    EXPECT_DOUBLE_EQ(screen.bar(clip).dragOffset(), 0);

    // Selected, it follows the pointer; released 3 px after the neighbour's
    // end it reports that end exactly, and the guide marks it meanwhile.
    screen.row->setSelectedClipId(clip.id);
    reports.calls.clear();
    pointer.press({115, 20}).moveTo({95, 20}).moveTo({68, 20});
    EXPECT_EQ(screen.bar(clip).activeSnapPoint(), 5.0);
    EXPECT_DOUBLE_EQ(screen.bar(clip).dragOffset(), -50);
    EXPECT_EQ(screen.bar(clip).geometry().x(), 50);
    pointer.release({68, 20});
    ASSERT_EQ(reports.moves.size(), 1u);
    EXPECT_EQ(reports.moves[0], std::pair(clip.id, 5.0));
    EXPECT_EQ(screen.bar(clip).activeSnapPoint(), std::nullopt);
    EXPECT_EQ(screen.bar(clip).geometry().x(), 100);

    // Back where it began, or held there by a snap: nothing is reported.
    const Clip before = makeClip(8, 2); // ends where the clip starts
    RowOnScreen held(makeTrack(TrackType::video, "Video 1", {before, clip}));
    held.row->setSelectedClipId(clip.id);
    held.pointer().drag({{115, 20}, {140, 20}, {115, 20}});
    held.pointer().drag({{115, 20}, {140, 20}, {118, 20}});
    EXPECT_TRUE(held.reports.moves.empty());
    EXPECT_TRUE(held.reports.trackMoves.empty());
    EXPECT_EQ(held.bar(clip).activeSnapPoint(), std::nullopt);
}

TEST(TrackRowTest, EdgeDragsTrimAndVerticalDragsChangeAudioLanes) {
    const Uuid audio1 = Uuid::random();
    const Uuid audio2 = Uuid::random();
    const Uuid audio3 = Uuid::random();
    Clip clip = makeClip(5, 3, TrackType::audio); // x 50 ... 80
    clip.sourceOffset = 1;
    Track lane = makeTrack(TrackType::audio, "Audio 1", {clip});
    lane.id = audio1;
    RowOnScreen screen(lane, {audio1, audio2, audio3});
    screen.row->setSelectedClipId(clip.id);
    Reports& reports = screen.reports;
    test::Pointer pointer = screen.pointer();

    // The right edge, dragged far past the end: capped at md - start, the
    // preview following the edge inside the timeline.
    pointer.press({78, 20}).moveTo({98, 20});
    EXPECT_EQ(screen.bar(clip).activeTrimEdge(), Edge::right);
    EXPECT_EQ(screen.bar(clip).geometry().width(), 50);
    pointer.moveTo({2000, 20}).release({2000, 20});
    EXPECT_EQ(reports.trims, (std::vector{std::tuple(clip.id, 1.0, 95.0)}));
    EXPECT_EQ(reports.scrubs, (std::vector<double>{10, 100}));

    // The body, 1.5 lane steps down (41 px a step): two lanes down; straight
    // down as well; 0.4 steps: a move on its own lane.
    pointer.drag({{65, 20}, {75, 30}, {95, 82}});
    pointer.drag({{65, 20}, {65, 40}, {65, 82}});
    pointer.drag({{65, 20}, {85, 36}});
    EXPECT_EQ(reports.trackMoves,
              (std::vector{std::tuple(clip.id, audio3, 8.0), std::tuple(clip.id, audio3, 5.0)}));
    EXPECT_EQ(reports.moves, (std::vector{std::pair(clip.id, 7.0)}));

    // A video bar never changes lanes.
    const Clip shot = makeClip(5, 3);
    RowOnScreen video(makeTrack(TrackType::video, "Video 1", {shot}));
    video.row->setSelectedClipId(shot.id);
    video.pointer().drag({{65, 20}, {75, 30}, {95, 82}});
    EXPECT_TRUE(video.reports.trackMoves.empty());
    EXPECT_EQ(video.reports.moves, (std::vector{std::pair(shot.id, 8.0)}));
}

TEST(TrackRowTest, ContextMenuItemsSelectFirstAndOfferEffectsOnlyWhereTheyApply) {
    Reports reports;
    const std::shared_ptr<const ClipBarActions> actions = reports.actions();
    Clip graded = makeClip(0, 2);
    graded.colorAdjust = ColorAdjust{0.3, 1, 1};
    const auto titles = [](QMenu& menu) {
        std::vector<std::string> result;
        for (QAction* action : menu.actions()) {
            result.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return result;
    };

    const std::unique_ptr<QMenu> menu = DraggableClipBar::makeContextMenu(graded, actions);
    EXPECT_EQ(titles(*menu),
              (std::vector<std::string>{"Duplicate", "Split at Playhead", "Edit Effects...", "-",
                                        "Delete", "-", "More Commands... (Ctrl+K)"}));
    for (QAction* action : menu->actions()) {
        action->trigger();
    }
    EXPECT_EQ(reports.calls,
              (std::vector<std::string>{"select", "duplicate", "select", "split", "select",
                                        "effects", "select", "delete", "select", "palette"}));

    const std::unique_ptr<QMenu> plain =
        DraggableClipBar::makeContextMenu(makeClip(0, 2, TrackType::text), actions);
    EXPECT_EQ(titles(*plain),
              (std::vector<std::string>{"Duplicate", "Split at Playhead", "-", "Delete", "-",
                                        "More Commands... (Ctrl+K)"}));
    // Without its callback an item only selects.
    auto selectOnly = std::make_shared<ClipBarActions>();
    int selections = 0;
    selectOnly->onSelect = [&](const Uuid&) { ++selections; };
    const std::unique_ptr<QMenu> bare = DraggableClipBar::makeContextMenu(graded, selectOnly);
    bare->actions().front()->trigger();
    EXPECT_EQ(selections, 1);
}

// A lane of 300 clips of 0.1 s back to back (a pixel each) from 10 s, and two
// of a few seconds beyond them.
struct CrowdedLane {
    CrowdedLane() {
        for (int i = 0; i < 300; ++i) {
            crowd.push_back(makeClip(10 + 0.1 * i, 0.1));
        }
        std::vector<Clip> clips = crowd;
        clips.push_back(first);
        clips.push_back(second);
        track = makeTrack(TrackType::video, "Video 1", clips);
    }

    std::vector<Clip> crowd;
    Clip first = makeClip(50, 3);  // x 500 ... 530
    Clip second = makeClip(70, 5); // x 700 ... 750
    Track track;
};

TEST(TrackRowTest, OnlyClipsInSightHaveBarsAndCrowdedOnesShowAsSliversThatActAsTheirBars) {
    const CrowdedLane lane;
    RowOnScreen screen(lane.track);
    TrackRow& row = *screen.row;
    Reports& reports = screen.reports;
    const auto titles = [](const QMenu& menu) {
        std::vector<std::string> result;
        for (QAction* action : menu.actions()) {
            result.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return result;
    };

    // Each crowded clip is on top in one column; the last is whole.
    ASSERT_EQ(row.bars().size(), 3u);
    EXPECT_EQ(row.bars()[0]->clip().id, lane.crowd.back().id);
    EXPECT_EQ(screen.bar(lane.crowd.back()).geometry(), QRect(399, 0, 4, 40));
    EXPECT_EQ(row.slivers().mask(), QRegion(100, 0, 299, 40));

    // A tap on a sliver selects the clip on top there; a drag from one only
    // selects it, as on its bar; its context menu is its bar's.
    screen.pointer().click({150, 20});
    EXPECT_EQ(reports.selected, std::vector<Uuid>{lane.crowd[50].id});
    screen.pointer().drag({{160, 20}, {180, 20}, {220, 20}});
    EXPECT_EQ(reports.selected.back(), lane.crowd[60].id);
    EXPECT_TRUE(reports.moves.empty());
    QTest::mouseClick(screen.window.windowHandle(), Qt::RightButton, Qt::NoModifier,
                      row.mapTo(&screen.window, QPoint(170, 20)));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu on the sliver";
    EXPECT_EQ(titles(*menu),
              (std::vector<std::string>{"Duplicate", "Split at Playhead", "-", "Delete", "-",
                                        "More Commands... (Ctrl+K)"}));
    menu->actions()[3]->trigger();
    menu->close();
    EXPECT_EQ(reports.selected.back(), lane.crowd[70].id);
    EXPECT_EQ(reports.calls.back(), "delete");

    // Selected, a crowded clip has a bar of its own, under those after it.
    row.setSelectedClipId(lane.crowd[50].id);
    ASSERT_NE(row.bar(lane.crowd[50].id), nullptr);
    EXPECT_EQ(row.bar(lane.crowd[50].id)->geometry(), QRect(150, 0, 4, 40));
    EXPECT_TRUE(row.bar(lane.crowd[50].id)->isSelected());
    EXPECT_EQ(row.slivers().mask(), QRegion(100, 0, 50, 40) + QRegion(151, 0, 248, 40));

    // Scrolled: the bars of what comes into sight take the place of those
    // that leave it, and the widgets are used again.
    row.setSelectedClipId(std::nullopt);
    row.setSight(BarsInView::Columns{450, 1000});
    ASSERT_EQ(row.bars().size(), 2u);
    EXPECT_EQ(screen.bar(lane.first).geometry(), QRect(500, 0, 30, 40));
    EXPECT_EQ(screen.bar(lane.second).geometry(), QRect(700, 0, 50, 40));
    EXPECT_FALSE(row.slivers().isVisible());
    row.setSight(BarsInView::Columns{0, 300});
    EXPECT_TRUE(row.bars().empty());
    EXPECT_EQ(row.slivers().mask(), QRegion(100, 0, 204, 40));
    EXPECT_LE(row.findChildren<DraggableClipBar*>().size(), 4);

    // A drag under way keeps its bar out of sight, and ends as a move.
    row.setSight(BarsInView::Columns{450, 1000});
    row.setSelectedClipId(lane.first.id);
    test::Pointer pointer = screen.pointer();
    pointer.press({515, 20}).moveTo({535, 20});
    row.setSight(BarsInView::Columns{0, 300});
    ASSERT_NE(row.bar(lane.first.id), nullptr);
    pointer.moveTo({565, 20}).release({565, 20});
    ASSERT_EQ(reports.moves.size(), 1u);
    EXPECT_EQ(reports.moves[0], std::pair(lane.first.id, 55.0));
}

// The trim a bar reports, applied by the real engine: growing a clip stops at
// its neighbour, so the project stays one that every later batch accepts.
TEST(TrackRowTest, TrimsStopAtTheNextClipSoLaterBatchesStillApply) {
    struct Case {
        std::string name;
        double sourceOffset;
        QPoint from;
        QPoint to;
        double expectedOffset;
    };
    // [0, 4) and [5, 8) at 10 px a second.
    const std::vector<Case> cases{
        {"right edge +30 px", 0, {38, 20}, {68, 20}, 0},
        {"left edge -30 px from offset 3", 3, {2, 20}, {-28, 20}, 2},
    };
    for (const Case& c : cases) {
        Clip grown = makeClip(0, 4);
        grown.sourceOffset = c.sourceOffset;
        const Clip next = makeClip(5, 3);
        test::ConversationHarness harness(
            Project({makeTrack(TrackType::video, "Video 1", {grown, next})}, 3600));
        auto actions = std::make_shared<ClipBarActions>();
        actions->onTrim = [&](const Uuid& id, double offset, double duration) {
            test::awaitTask(
                harness.timeline.executeCommand(EditCommand::Trim{id, offset, duration}));
        };
        RowOnScreen screen(harness.timeline.project().tracks[0]);
        screen.row->setActions(actions);
        screen.row->setSelectedClipId(grown.id);

        screen.pointer().drag({c.from, c.to});
        EXPECT_EQ(screen.bar(grown).geometry().width(), 40) << c.name;
        const Clip& trimmed = harness.timeline.project().tracks[0].clips[0];
        EXPECT_EQ(trimmed.timeRange, (TimeRange{0, 5})) << c.name;
        EXPECT_DOUBLE_EQ(trimmed.sourceOffset, c.expectedOffset) << c.name;

        EditCommand::AddText title;
        title.text = "Title";
        title.at = 30;
        title.duration = 2;
        EXPECT_NO_THROW(test::awaitTask(harness.timeline.executeCommands({title}))) << c.name;
        EXPECT_EQ(harness.timeline.project().textClips().size(), 1u) << c.name;
    }
}

} // namespace
