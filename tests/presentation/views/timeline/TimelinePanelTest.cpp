#include "presentation/views/timeline/TimelinePanel.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/Pointer.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/support/TimelinePanelHarness.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/PlayheadStripChecks.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TextOverlayRow.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePlayhead.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackIconColumn.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "presentation/views/timeline/TrackRow.h"
#include "support/media/MovieMaker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

std::string text(const QLabel* label) {
    return label->text().toStdString();
}

QColor colour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

Clip textClip(double start, double duration, std::string words = "Hello") {
    return makeClip(start, duration, TrackType::text, std::move(words));
}

TEST(TimelinePanelTest, HeaderShowsTheLengthTheTimeLeftAndImportsUnderWay) {
    test::TimelinePanelHarness screen(Project::makeNew());
    TimelinePanel& panel = *screen.panel;
    EXPECT_EQ(text(panel.totalDurationLabel()), "0:00");
    EXPECT_EQ(text(panel.maxDurationLabel()), "60:00");
    EXPECT_EQ(text(panel.remainingLabel()), "60:00 remaining");
    EXPECT_EQ(colour(panel.remainingLabel()), toQColor(VexelColors::textSecondary));
    EXPECT_FALSE(panel.importingRow()->isVisible());

    // 10 s left is red; past the maximum there is nothing left, in red.
    screen.timeline().setProject(
        Project({makeTrack(TrackType::video, "Video 1", {makeClip(0, 3590)})}, 3600));
    EXPECT_EQ(text(panel.totalDurationLabel()), "59:50");
    EXPECT_EQ(text(panel.remainingLabel()), "0:10 remaining");
    EXPECT_EQ(colour(panel.remainingLabel()), toQColor(VexelColors::error));
    screen.timeline().setProject(
        Project({makeTrack(TrackType::video, "Video 1", {makeClip(0, 3700)})}, 3600));
    EXPECT_EQ(text(panel.remainingLabel()), "0:00 remaining");
    EXPECT_EQ(colour(panel.remainingLabel()), toQColor(VexelColors::error));
    screen.timeline().setProject(
        Project({makeTrack(TrackType::video, "Video 1", {makeClip(0, 3570)})}, 3600));
    EXPECT_EQ(colour(panel.remainingLabel()), toQColor(VexelColors::textSecondary));

    screen.timeline().setImportingCount(2);
    EXPECT_TRUE(panel.importingRow()->isVisible());
    screen.timeline().endImport();
    EXPECT_TRUE(panel.importingRow()->isVisible());
    screen.timeline().endImport();
    EXPECT_FALSE(panel.importingRow()->isVisible());
}

TEST(TimelinePanelTest, ZoomsByButtonsSliderAndPinchWithinItsLimits) {
    test::TimelinePanelHarness screen(Project::makeNew());
    TimelinePanel& panel = *screen.panel;
    TimelineViewModel& timeline = screen.timeline();
    QScrollBar* sideways = panel.content()->horizontalBar();
    EXPECT_FALSE(panel.resetZoomButton()->isVisible());
    EXPECT_FALSE(sideways->isVisible());

    timeline.setZoomLevel(9);
    panel.zoomInButton()->click();
    EXPECT_EQ(timeline.zoomLevel(), 10);
    EXPECT_FALSE(panel.zoomInButton()->isEnabled());
    EXPECT_TRUE(panel.zoomOutButton()->isEnabled());
    EXPECT_TRUE(panel.resetZoomButton()->isVisible());
    EXPECT_TRUE(sideways->isVisible());
    EXPECT_EQ(panel.zoomSlider()->value(), 1000);

    timeline.setZoomLevel(0.55);
    panel.zoomOutButton()->click();
    EXPECT_EQ(timeline.zoomLevel(), 0.5);
    EXPECT_FALSE(panel.zoomOutButton()->isEnabled());
    EXPECT_FALSE(sideways->isVisible());

    // A pinch scales the level it began at, whatever set that level.
    timeline.setZoomLevel(4);
    panel.applyMagnification(2);
    EXPECT_EQ(timeline.zoomLevel(), 8);
    panel.applyMagnification(3);
    EXPECT_EQ(timeline.zoomLevel(), 10);
    panel.endMagnification();
    panel.applyMagnification(0.01);
    EXPECT_EQ(timeline.zoomLevel(), 0.5);
    panel.endMagnification();

    // The slider shows the level without writing it back; a move writes.
    timeline.setZoomLevel(1.2345);
    EXPECT_EQ(panel.zoomSlider()->value(), 123);
    EXPECT_EQ(timeline.zoomLevel(), 1.2345);
    panel.zoomSlider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(timeline.zoomLevel(), (123 + panel.zoomSlider()->pageStep()) / 100.0);
    panel.resetZoomButton()->click();
    EXPECT_EQ(timeline.zoomLevel(), 1.0);
    EXPECT_FALSE(panel.resetZoomButton()->isVisible());
    EXPECT_EQ(panel.content()->timelineLayout().virtualContentWidth, panel.content()->width() - 40);
}

TEST(TimelinePanelTest, LanesShareTheHeightAndScrollWhenTheyNoLongerFit) {
    test::TimelinePanelHarness screen(Project::makeNew());
    TimelineContentView& content = *screen.panel->content();

    // A new project's six lanes in 218 px.
    screen.setContentHeight(700, 218);
    ASSERT_EQ(content.height(), 218);
    EXPECT_EQ(content.lanes()->laneHeight(), 32.5);
    EXPECT_FALSE(content.verticalBar()->isVisible());
    const std::vector<QWidget*> rows = content.lanes()->rows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1]->geometry().top(), 34);
    EXPECT_EQ(rows[5]->geometry().bottom(), 199);
    EXPECT_EQ(content.iconColumn()->iconNames(),
              (std::vector<std::string>{"video", "photo", "textformat", "waveform", "waveform",
                                        "waveform"}));

    // Seven lanes in 200 px: 28 px each, scrolling.
    Project seven = Project::makeNew();
    seven.tracks.push_back(makeTrack(TrackType::audio, "Audio 4"));
    screen.timeline().setProject(seven);
    screen.setContentHeight(700, 200);
    EXPECT_EQ(content.lanes()->laneHeight(), 28);
    EXPECT_TRUE(content.verticalBar()->isVisible());
    EXPECT_EQ(content.verticalBar()->maximum(), 18 + 7 * 28 + 6 - 200);
    content.verticalBar()->setValue(content.verticalBar()->maximum());
    EXPECT_EQ(content.lanes()->mapTo(&content, QPoint(0, 0)).y(), 18 - 20);
}

TEST(TimelinePanelTest, RulerAndLaneBackgroundSeekAndAClickThereDeselects) {
    const Clip clip = makeClip(0, 20);
    test::TimelinePanelHarness screen(
        Project({makeTrack(TrackType::video, "Video 1", {clip})}, 3600), true, QSize(840, 300));
    TimelineContentView& content = *screen.panel->content();
    PreviewViewModel& preview = *screen.preview;
    const double display = screen.timeline().displayDuration();
    ASSERT_EQ(display, 22);
    const int width = content.ruler()->width();

    test::Pointer ruler(*content.ruler());
    ruler.click({width / 4, 9});
    EXPECT_DOUBLE_EQ(preview.currentTime(), 0.25 * display);
    const TimelinePlayhead& playhead = *content.lanes()->playhead();
    EXPECT_TRUE(playhead.isVisible());
    EXPECT_EQ(playhead.x(), width / 4);

    // The background of the image lane, beyond either end and back.
    screen.timeline().selectClip(clip.id);
    TrackLanesView& lanes = *content.lanes();
    const int imageLane = lanes.rows()[1]->geometry().center().y();
    test::Pointer background(lanes);
    background.press({width / 2, imageLane});
    EXPECT_DOUBLE_EQ(preview.currentTime(), 0.5 * display);
    background.moveTo({-200, imageLane});
    EXPECT_EQ(preview.currentTime(), 0);
    background.moveTo({width + 200, imageLane}).release({width + 200, imageLane});
    EXPECT_EQ(preview.currentTime(), display);
    EXPECT_EQ(screen.timeline().selectedClipId(), clip.id);
    background.click({width / 2, imageLane});
    EXPECT_EQ(screen.timeline().selectedClipId(), std::nullopt);

    // With no room for content, a click on the ruler seeks nothing.
    screen.panel->resize(40 + 16, 300);
    screen.panel->layout()->activate();
    ASSERT_EQ(content.timelineLayout().virtualContentWidth, 0);
    test::Pointer(*content.ruler()).click({0, 9});
    EXPECT_DOUBLE_EQ(preview.currentTime(), 0.5 * display);
}

TEST(TimelinePanelTest, ADragBegunOnAnUnselectedTextBarOnlySelectsIt) {
    const Clip title = textClip(10, 5);
    test::TimelinePanelHarness screen(
        Project({makeTrack(TrackType::text, "Text 1", {title})}, 3600), true, QSize(700, 300));
    TextOverlayRow& row = *screen.panel->content()->lanes()->textRow();
    TextOverlayBar& bar = *row.bar(title.id);
    const QPoint middle = bar.geometry().center();

    // Selected at the first step of the drag, the bar still does not follow.
    test::Pointer pointer(row);
    pointer.press(middle).moveTo(middle + QPoint(20, 0));
    EXPECT_EQ(screen.timeline().selectedClipId(), title.id);
    EXPECT_TRUE(bar.isSelected());
    pointer.moveTo(middle + QPoint(150, 0));
    EXPECT_EQ(bar.dragOffset(), 0);
    pointer.release(middle + QPoint(150, 0));
    test::settle();
    EXPECT_EQ(screen.timeline().project().textClips()[0].timeRange.startTime, 10);

    // The next drag, begun on the selected bar, moves it.
    const double secondsPerPixel = screen.timeline().displayDuration() / row.width();
    test::Pointer(row).drag({middle, middle - QPoint(30, 0), middle - QPoint(60, 0)});
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return screen.timeline().project().textClips()[0].timeRange.startTime != 10; }));
    EXPECT_NEAR(screen.timeline().project().textClips()[0].timeRange.startTime,
                10 - 60 * secondsPerPixel, 1e-9);
}

// The clips of the edit-refusal cases: a video clip with an effect and a
// neighbour, an audio clip on the first of two audio lanes with one on the
// second, and an animated title.
struct EditFixture {
    Clip video = makeClip(0, 4);
    Clip neighbour = makeClip(6, 3);
    Clip sound = makeClip(0, 4, TrackType::audio, "sound.wav");
    Clip below = makeClip(1, 2, TrackType::audio, "below.wav");
    Clip title = makeClip(2, 3, TrackType::text, "Title");
    Track audio1 = makeTrack(TrackType::audio, "Audio 1", {sound}, true);
    Track audio2 = makeTrack(TrackType::audio, "Audio 2", {below}, true);

    EditFixture() {
        video.colorAdjust = ColorAdjust{0.2, 1, 1};
        title.textAnimation = TextAnimation{};
        title.textAnimation->entrance = TextEntranceType::scaleIn();
    }

    Project project() const {
        return Project({makeTrack(TrackType::video, "Video 1", {video, neighbour}),
                        makeTrack(TrackType::text, "Text 1", {title}), audio1, audio2},
                       3600);
    }
};

// Forms that show a plain label, so that the inspectors open as they would.
TimelineInspectors::Forms labelForms() {
    const auto form = [](const char* name) {
        return [name](const Clip&, TimelineInspectors::Results) -> QWidget* {
            return new QLabel(QString::fromUtf8(name));
        };
    };
    return {form("text"), form("animation"), form("effects")};
}

TEST(TimelinePanelTest, EveryRefusedEditShowsItsOwnMessageAndChangesNothing) {
    using Act = std::function<void(test::TimelinePanelHarness&, const EditFixture&)>;
    struct Case {
        std::string name;
        Act act;
        std::string message;
        bool withPreview = true;
    };
    const auto clipActions = [](test::TimelinePanelHarness& screen, TrackType lane) {
        return screen.panel->clipActions(lane);
    };
    // The bar of `clip`, dragged by `by` from its middle once selected.
    const auto drag = [](test::TimelinePanelHarness& screen, const Clip& clip, const Track& lane,
                         QPoint by) {
        screen.timeline().selectClip(clip.id);
        TrackLanesView& lanes = *screen.panel->content()->lanes();
        TrackRow& row = *lanes.trackRow(lane.id);
        const QPoint from = row.bar(clip.id)->geometry().center();
        test::Pointer(row).drag({from, from + by / 2, from + by});
    };
    // Deletes `clip` first, so that the edit after it meets no clip.
    const auto deleteFirst = [](test::TimelinePanelHarness& screen, const Clip& clip) {
        screen.panel->clipActions(TrackType::video).onDelete(clip.id);
    };
    const auto openThenDelete = [](test::TimelinePanelHarness& screen, const Clip& clip,
                                   std::function<void()> open) {
        open();
        ASSERT_TRUE(screen.panel->inspectors().results().has_value());
        screen.panel->clipActions(TrackType::video).onDelete(clip.id);
    };
    const std::vector<Case> cases{
        {"a drag onto the neighbour",
         [drag](auto& screen, const EditFixture& f) {
             const double pixelsPerSecond =
                 screen.panel->content()->lanes()->width() / screen.timeline().displayDuration();
             drag(screen, f.video, screen.timeline().project().tracks[0],
                  QPoint(static_cast<int>(3 * pixelsPerSecond), 0));
         },
         "Cannot move clip: overlaps another clip on this track"},
        {"a drag onto a clip of the lane below",
         [drag](auto& screen, const EditFixture& f) {
             const double laneHeight = screen.panel->content()->lanes()->laneHeight();
             drag(screen, f.sound, f.audio1, QPoint(12, static_cast<int>(laneHeight + 1)));
         },
         "Cannot move clip: overlaps another clip on the target track"},
        {"a duplicate against an adjoining neighbour",
         [](auto& screen, const EditFixture& f) {
             screen.panel->clipActions(TrackType::audio).onDuplicate(f.below.id);
             screen.panel->clipActions(TrackType::audio).onDuplicate(f.below.id);
         },
         "Failed to duplicate clip"},
        {"a split outside the clip",
         [](auto& screen, const EditFixture& f) {
             screen.preview->seek(20);
             screen.panel->clipActions(TrackType::video).onSplit(f.video.id);
         },
         "Cannot split clip here"},
        {"a split at 0 s without a preview",
         [](auto& screen, const EditFixture& f) {
             screen.panel->clipActions(TrackType::video).onSplit(f.neighbour.id);
         },
         "Cannot split clip here", false},
        {"a move of a deleted clip",
         [=](auto& screen, const EditFixture& f) {
             deleteFirst(screen, f.video);
             clipActions(screen, TrackType::video).onMove(f.video.id, 20);
         },
         "Failed to move clip"},
        {"a trim of a deleted clip",
         [=](auto& screen, const EditFixture& f) {
             deleteFirst(screen, f.video);
             clipActions(screen, TrackType::video).onTrim(f.video.id, 0, 2);
         },
         "Failed to trim clip"},
        {"a delete of a deleted clip",
         [=](auto& screen, const EditFixture& f) {
             deleteFirst(screen, f.video);
             clipActions(screen, TrackType::video).onDelete(f.video.id);
         },
         "Failed to delete clip"},
        {"a move of a deleted clip to another lane",
         [=](auto& screen, const EditFixture& f) {
             deleteFirst(screen, f.sound);
             clipActions(screen, TrackType::audio).onMoveToTrack(f.sound.id, f.audio2.id, 20);
         },
         "Failed to move clip to track"},
        {"a move of a deleted title",
         [=](auto& screen, const EditFixture& f) {
             // Asked for while the delete still waits for the engine, as when
             // a drag ends just then: once the delete has landed, the move of
             // a title no longer there does nothing.
             std::optional<TurnQueue::Turn> engine = test::awaitTask(screen.timeline().holdEdits());
             deleteFirst(screen, f.title);
             screen.panel->textActions().onMoveOverlay(f.title.id, 20);
             test::settle();
             engine.reset();
         },
         "Failed to move text overlay"},
        {"a delete of a deleted title",
         [=](auto& screen, const EditFixture& f) {
             deleteFirst(screen, f.title);
             screen.panel->textActions().onDeleteOverlay(f.title.id);
         },
         "Failed to delete text overlay"},
        {"a duplicate of a deleted title",
         [=](auto& screen, const EditFixture& f) {
             deleteFirst(screen, f.title);
             screen.panel->textActions().onDuplicateOverlay(f.title.id);
         },
         "Failed to duplicate text overlay"},
        {"the text inspector's edit of a deleted title",
         [=](auto& screen, const EditFixture& f) {
             openThenDelete(screen, f.title,
                            [&] { screen.panel->textActions().onEditOverlay(f.title.id); });
             EditCommand::EditText edit;
             edit.textId = f.title.id;
             edit.text = "Changed";
             screen.panel->inspectors().results()->onApply({edit});
         },
         "Failed to edit text"},
        {"the text inspector's delete of a deleted title",
         [=](auto& screen, const EditFixture& f) {
             openThenDelete(screen, f.title,
                            [&] { screen.panel->textActions().onEditOverlay(f.title.id); });
             screen.panel->inspectors().results()->onDelete();
         },
         "Failed to delete text"},
        {"the animation inspector's edit of a deleted title",
         [=](auto& screen, const EditFixture& f) {
             openThenDelete(screen, f.title,
                            [&] { screen.panel->textActions().onEditTextEffects(f.title.id); });
             EditCommand::SetTextAnimation animation;
             animation.clipId = f.title.id;
             animation.entrance = TextEntranceType::scaleIn();
             screen.panel->inspectors().results()->onApply({animation});
         },
         "Failed to update text animation"},
        {"the effect inspector's edit of a deleted clip",
         [=](auto& screen, const EditFixture& f) {
             openThenDelete(screen, f.video, [&] {
                 clipActions(screen, TrackType::video).onEditEffects(f.video.id);
             });
             screen.panel->inspectors().results()->onApply(
                 {EditCommand::ColorAdjust{f.video.id, 0.5, std::nullopt, std::nullopt}});
         },
         "Failed to update effects"},
    };
    for (const Case& c : cases) {
        const EditFixture fixture;
        test::TimelinePanelHarness screen(fixture.project(), c.withPreview, QSize(1040, 320));
        screen.panel->setInspectorForms(labelForms());
        // What the project was after the last edit that went through.
        Project lastGood = screen.timeline().project();
        screen.timeline().setOnProjectSync([&](const Project& project) {
            screen.conversation.repository->save(project);
            lastGood = project;
        });
        c.act(screen, fixture);
        EXPECT_EQ(screen.awaitBanner(), c.message) << c.name;
        EXPECT_EQ(screen.banner().currentError()->category, ErrorCategory::validation) << c.name;
        EXPECT_EQ(screen.banner().errorHistory().size(), 1u) << c.name;
        // Only the delete before the refused edit changed the project.
        test::settle();
        EXPECT_EQ(screen.timeline().project(), lastGood) << c.name;
        EXPECT_EQ(screen.conversation.repository->load(), lastGood) << c.name;
    }
}

TEST(TimelinePanelTest, InspectorsOpenOnWhatTheyCanEditAndApplyAsOneStep) {
    const EditFixture fixture;
    test::TimelinePanelHarness screen(fixture.project());
    TimelinePanel& panel = *screen.panel;
    panel.setInspectorForms(labelForms());
    TimelineInspectors& inspectors = panel.inspectors();
    using Open = TimelineInspectors::OpenInspector;
    using Kind = TimelineInspectors::Kind;

    // Nothing to edit: nothing opens.
    panel.clipActions(TrackType::video).onEditEffects(fixture.neighbour.id);
    panel.clipActions(TrackType::video).onEditEffects(fixture.title.id);
    EXPECT_EQ(inspectors.openInspector(), std::nullopt);

    panel.clipActions(TrackType::video).onEditEffects(fixture.video.id);
    EXPECT_EQ(inspectors.openInspector(), (Open{Kind::effect, fixture.video.id}));
    EXPECT_FALSE(inspectors.results()->onDelete);
    panel.textActions().onEditTextEffects(fixture.title.id);
    EXPECT_EQ(inspectors.openInspector(), (Open{Kind::textAnimation, fixture.title.id}));
    panel.textActions().onEditOverlay(fixture.title.id);
    EXPECT_EQ(inspectors.openInspector(), (Open{Kind::text, fixture.title.id}));
    ASSERT_TRUE(inspectors.results()->onDelete);

    // Apply runs the list as one undoable step and leaves closing to the form.
    EditCommand::EditText words;
    words.textId = fixture.title.id;
    words.text = "Changed";
    EditCommand::EditText moved;
    moved.textId = fixture.title.id;
    moved.timeRange = TimeRange{10, 3};
    inspectors.results()->onApply({words, moved});
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return screen.timeline().project().textClips()[0].assetName == "Changed"; }));
    EXPECT_EQ(screen.timeline().project().textClips()[0].timeRange, (TimeRange{10, 3}));
    EXPECT_EQ(inspectors.openInspector(), (Open{Kind::text, fixture.title.id}));
    screen.timeline().undo();
    EXPECT_EQ(screen.timeline().project().textClips()[0], fixture.title);
    inspectors.results()->onDismiss();
    EXPECT_EQ(inspectors.openInspector(), std::nullopt);

    // A title without animation opens no animation inspector; one closed by
    // Escape is over.
    Clip still = fixture.title;
    still.textAnimation.reset();
    screen.timeline().setProject(Project({makeTrack(TrackType::text, "Text 1", {still})}, 3600));
    panel.textActions().onEditTextEffects(still.id);
    EXPECT_EQ(inspectors.openInspector(), std::nullopt);
    panel.textActions().onEditOverlay(still.id);
    EXPECT_EQ(inspectors.openInspector(), (Open{Kind::text, still.id}));
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(inspectors.openInspector(), std::nullopt);
}

} // namespace

TEST(TimelinePanelTest, DraggingTheLaneBackgroundScrubsThePreviewAndRestsOnTheExactFrame) {
    // The preview pane and the timeline panel over one real player and one
    // 3 s clip with a key frame every second.
    test::PreviewHarness pane;
    const std::filesystem::path movie = pane.folder / "clip.mp4";
    vexel::testing::writeTestMovie(movie, {.frameCount = 90, .maxKeyFrameInterval = 30});
    Clip clip = makeClip(0, 3);
    clip.assetName = "clip.mp4";
    clip.assetURL = movie;
    const Project project(
        {makeTrack(TrackType::video, "Video 1", {clip}), makeTrack(TrackType::audio, "Audio 1")},
        3600);
    pane.load(project);
    ASSERT_TRUE(pane.preview.hasContent());
    test::ConversationHarness editing(project);
    IconRegistry icons{editing.logger};
    EditRunner runner{editing.banner, editing.time, editing.logger};
    TutorialState tutorial;
    QWidget window;
    auto* panel =
        new TimelinePanel(editing.timeline, &pane.preview, runner, icons, nullptr, &window);
    panel->setGeometry(0, 0, 900, 300);
    window.resize(900, 300);
    PreviewPlayerView view(pane.preview, editing.timeline, tutorial, icons);
    view.resize(480, 270);
    window.show();
    view.show();
    QApplication::processEvents();

    TrackLanesView& lanes = *panel->content()->lanes();
    const double display = editing.timeline.displayDuration();
    test::Pointer background(lanes);
    test::expectPressSeeksAndDragScrubs(
        background,
        [&](double seconds) {
            return QPoint(static_cast<int>(seconds / display * lanes.width()),
                          lanes.rows()[1]->geometry().center().y());
        },
        pane.preview, view.surface());
}
