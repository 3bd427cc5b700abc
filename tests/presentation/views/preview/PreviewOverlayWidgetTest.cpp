#include "presentation/views/preview/PreviewOverlayWidget.h"

#include "data/composition/TestProjects.h"
#include "presentation/cache/PixelBufferImage.h"
#include "presentation/support/ComposedFrame.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/support/TestPhoto.h"
#include "presentation/viewmodels/PreviewRebuilder.h"
#include "presentation/views/inspectors/TextInspectorHost.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/preview/PreviewEditHandlers.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "support/Psnr.h"

#include <QApplication>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vexel;
using media::MediaTime;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

Clip textClip(const std::string& words, double start, double duration,
              std::optional<TextPosition> position = std::nullopt) {
    Clip clip = clipOf(TrackType::text, start, duration);
    clip.assetName = words;
    clip.textPosition = position;
    return clip;
}

// Rows of a picture holding light ink on black: each run of rows with ink,
// its top and bottom (exclusive) and left and right (exclusive).
struct Band {
    int top;
    int bottom;
    int left;
    int right;
};

std::vector<Band> inkBands(const QImage& picture, QRect area) {
    std::vector<Band> bands;
    bool inBand = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int left = area.right() + 1;
        int right = area.left();
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(picture.pixel(x, y)) > 128) {
                left = std::min(left, x);
                right = x + 1;
            }
        }
        if (right <= left) {
            inBand = false;
            continue;
        }
        if (!inBand) {
            bands.push_back({y, y + 1, left, right});
            inBand = true;
        }
        Band& band = bands.back();
        band.bottom = y + 1;
        band.left = std::min(band.left, left);
        band.right = std::max(band.right, right);
    }
    return bands;
}

class PreviewOverlayWidgetTest : public ::testing::Test {
protected:
    // The project in a pane `pane` large, loaded, with the playhead at
    // `time`, every image made. The transport capsule is hidden, as in the
    // tutorial, so that only the picture and its overlays show.
    // With `answered`, the window's answers to the reports take them, and
    // the preview rebuilds after project changes as the window's does.
    void show(const Project& project, double time, QSize pane = {960, 540}, bool answered = false) {
        tutorial.setCurrentStep(TutorialStep::welcome);
        editing = std::make_unique<test::ConversationHarness>(project);
        if (answered) {
            rebuilder = std::make_unique<PreviewRebuilder>(
                editing->timeline, harness.preview, editing->logger, editing->time->sleepAction());
        }
        view = std::make_unique<PreviewPlayerView>(
            harness.preview, editing->timeline, tutorial, icons,
            answered
                ? makePreviewActions(editing->timeline, harness.preview,
                                     EditRunner(editing->banner, editing->time, editing->logger))
                : recorder());
        view->resize(pane);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        harness.load(project);
        seek(time);
    }

    void seek(double time) {
        harness.preview.seek(time);
        overlay().drawnOverlays();
        ASSERT_TRUE(vexel::testing::runEventsUntil(
            [&] { return harness.preview.overlayImageCache().loadsInFlight() == 0; }));
        test::settle();
    }

    PreviewOverlayWidget& overlay() const { return view->overlay(); }

    std::string nameOf(const Uuid& id) const {
        for (const Track& track : editing->timeline.project().tracks) {
            for (const Clip& clip : track.clips) {
                if (clip.id == id) {
                    return clip.assetName;
                }
            }
        }
        return "?";
    }

    PreviewActions recorder() {
        PreviewActions actions;
        actions.onSelectText = [this](std::optional<Uuid> id) {
            reports.push_back("select " + (id ? nameOf(*id) : std::string("none")));
        };
        actions.onRepositionText = [this](const Uuid& id, double x, double y) {
            reports.push_back("reposition " + nameOf(id) + " " + number(x) + " " + number(y));
        };
        actions.onScaleText = [this](const Uuid& id, double scale) {
            reports.push_back("scale " + nameOf(id) + " " + number(scale));
        };
        actions.onTransformImage = [this](const Uuid& id, double x, double y, double scale) {
            reports.push_back("transform " + nameOf(id) + " " + number(x) + " " + number(y) + " " +
                              number(scale));
        };
        return actions;
    }

    // The drawn names, bottom to top.
    std::vector<std::string> drawnNames() const {
        std::vector<std::string> names;
        for (const auto& drawn : overlay().drawnOverlays()) {
            names.push_back(nameOf(drawn.clipId));
        }
        return names;
    }

    QRectF outlineOf(const Uuid& id) const {
        for (const auto& drawn : overlay().drawnOverlays()) {
            if (drawn.clipId == id) {
                return drawn.placement.outline().boundingRect();
            }
        }
        ADD_FAILURE() << nameOf(id) << " is not drawn";
        return {};
    }

    void drag(QPoint from, QPoint by) {
        QTest::mousePress(&overlay(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&overlay(), from + by / 2);
        QTest::mouseMove(&overlay(), from + by);
        QTest::mouseRelease(&overlay(), Qt::LeftButton, {}, from + by);
    }

    // The exported frame at `time`, scaled to `size`.
    QImage exported(const Project& project, const MediaTime& time, QSize size) const {
        const std::optional<media::VideoFrame> frame =
            test::composedFrame(*harness.compositionBuilder, project, time);
        EXPECT_TRUE(frame && frame->time == time);
        return frame ? imageOfPixels(frame->buffer)
                           .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     : QImage();
    }

    test::PreviewHarness harness;
    TutorialState tutorial;
    IconRegistry icons{harness.logger};
    std::unique_ptr<test::ConversationHarness> editing;
    std::unique_ptr<PreviewRebuilder> rebuilder;
    std::unique_ptr<PreviewPlayerView> view;
    std::vector<std::string> reports;
};

} // namespace

TEST_F(PreviewOverlayWidgetTest, DrawsTheOverlaysAtThePlayheadImagesBelowTextsInListOrder) {
    test::writeTestPhoto(harness.folder / "photo.png", 400, 300);
    Clip photo = clipOf(TrackType::image, 0, 10, harness.folder / "photo.png");
    photo.assetName = "Photo";
    const Clip early = textClip("Early", 2, 3);
    const Clip late = textClip("Late", 0, 10, TextPosition::top());
    show(projectOf({trackOf(TrackType::text, {early, late}), trackOf(TrackType::image, {photo})}),
         4.999);
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"Photo", "Early", "Late"}));
    seek(5.0);
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"Photo", "Late"}));
    seek(2.0);
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"Photo", "Early", "Late"}));
    seek(1.999);
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"Photo", "Late"}));

    // Without a project change nothing was built again for the moves.
    EXPECT_EQ(harness.builds, 1);
}

// A selected photo under a title: the photo drags from anywhere the title
// is not; a tap on the title selects it; a tap elsewhere clears the selection.
TEST_F(PreviewOverlayWidgetTest, TextsTakeTapsAndDragsFirstThenTheSelectedImage) {
    test::writeTestPhoto(harness.folder / "photo.png", 400, 300);
    Clip photo = clipOf(TrackType::image, 0, 10, harness.folder / "photo.png");
    photo.assetName = "Photo";
    const Clip title = textClip("Title", 0, 10, TextPosition::center());
    const Project project =
        projectOf({trackOf(TrackType::image, {photo}), trackOf(TrackType::text, {title})});
    show(project, 1);
    editing->timeline.setSelectedClipId(photo.id);

    const QRectF image = outlineOf(photo.id);
    const QRectF text = outlineOf(title.id);
    ASSERT_TRUE(image.contains(text.center()));
    const QPoint besideTitle(static_cast<int>(image.left() + 20),
                             static_cast<int>(image.top() + 20));
    ASSERT_FALSE(text.contains(besideTitle));

    drag(besideTitle, {96, -54});
    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, text.center().toPoint());
    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, besideTitle);
    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, QPoint(5, 5));
    // The title is not selected: dragging it moves nothing and is no tap.
    drag(text.center().toPoint(), {0, 100});
    EXPECT_EQ(reports, (std::vector<std::string>{"transform Photo 0.60 0.40 1.00", "select Title",
                                                 "select none", "select none"}));

    // The selected title drags; the photo under it then does not.
    reports.clear();
    editing->timeline.setSelectedClipId(title.id);
    drag(text.center().toPoint(), {96, 0});
    drag(besideTitle, {96, 0});
    EXPECT_EQ(reports, (std::vector<std::string>{"reposition Title 0.60 0.50"}));
}

TEST_F(PreviewOverlayWidgetTest, TheSelectionGivesTheKeysAndThePinchToTheOverlay) {
    test::writeTestPhoto(harness.folder / "photo.png", 400, 300);
    Clip photo = clipOf(TrackType::image, 0, 10, harness.folder / "photo.png");
    photo.assetName = "Photo";
    photo.overlayTransform = OverlayTransform{1, 0.5, 4.95};
    Clip title = textClip("Title", 0, 10, TextPosition::top());
    title.textScale = 2;
    const Clip later = textClip("Later", 8, 2);
    const Project project =
        projectOf({trackOf(TrackType::image, {photo}), trackOf(TrackType::text, {title, later})});
    show(project, 1);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    // To the widget with the focus, as typing does.
    auto press = [&](Qt::Key key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : view.get();
        QTest::keyClick(target, key);
    };

    // Selected from the timeline: the arrows nudge at once, from the preset.
    editing->timeline.setSelectedClipId(title.id);
    EXPECT_TRUE(overlay().hasFocus());
    press(Qt::Key_Left);
    press(Qt::Key_Plus);
    press(Qt::Key_Equal);
    // A pinch of 1.2 draws the title at 2.4 until it ends, then reports.
    const double rest = outlineOf(title.id).width();
    overlay().applyMagnification(1.2);
    EXPECT_NEAR(outlineOf(title.id).width(), rest * 1.2, 1e-6);
    overlay().endMagnification();
    EXPECT_NEAR(outlineOf(title.id).width(), rest, 1e-6);

    // The image: at the right edge and near the largest scale.
    editing->timeline.setSelectedClipId(photo.id);
    EXPECT_TRUE(overlay().hasFocus());
    press(Qt::Key_Right);
    press(Qt::Key_Plus);
    // A touchpad pinch to twice the size: the report keeps to the bounds.
    const QPointF centre = outlineOf(photo.id).center();
    auto gesture = [&](Qt::NativeGestureType type, double value) {
        QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, centre, centre,
                                  overlay().mapToGlobal(centre), value, {});
        QApplication::sendEvent(&overlay(), &event);
    };
    gesture(Qt::BeginNativeGesture, 0);
    gesture(Qt::ZoomNativeGesture, 0.5);
    gesture(Qt::ZoomNativeGesture, 1.0 / 3);
    gesture(Qt::EndNativeGesture, 0);

    // A clip that is not on screen, and no selection, leave the keys to
    // the window, though the picture keeps the focus.
    editing->timeline.setSelectedClipId(later.id);
    press(Qt::Key_Left);
    editing->timeline.setSelectedClipId(std::nullopt);
    press(Qt::Key_Left);
    overlay().applyMagnification(3);
    overlay().endMagnification();

    EXPECT_EQ(reports, (std::vector<std::string>{
                           "reposition Title 0.49 0.08", "scale Title 2.10", "scale Title 2.40",
                           "transform Photo 1.00 0.50 4.95", "transform Photo 1.00 0.50 5.00",
                           "transform Photo 1.00 0.50 5.00"}));
}

// The window's answers over the real engine: a drag of the selected bottom
// title becomes one edit that the preview shows without building anything,
// and one undo takes it back.
TEST_F(PreviewOverlayWidgetTest, ADragOfTheSelectedTextIsOneUndoableEditThatBuildsNothing) {
    const Clip title = textClip("Title", 0, 10);
    show(projectOf({trackOf(TrackType::text, {title})}), 1, {960, 540}, true);
    ASSERT_EQ(overlay().contentRect(), QRectF(0, 0, 960, 540));
    editing->timeline.setSelectedClipId(title.id);
    const int builds = harness.builds;

    drag(outlineOf(title.id).center().toPoint(), {96, 0});
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return editing->timeline.project().textClips().front().textPosition.has_value(); }));
    test::settle();
    EXPECT_EQ(editing->timeline.project().textClips().front().textPosition,
              TextPosition::custom(0.6, 0.92));
    EXPECT_FALSE(editing->banner.currentError());
    // Drawn from the project the edit made, where the export puts it: its
    // box, 0.96 of the picture wide, against the right edge.
    EXPECT_NEAR(outlineOf(title.id).center().x(), 960 - 0.96 * 960 / 2, 1);
    editing->time->advance(std::chrono::milliseconds(250));
    test::settle();
    EXPECT_EQ(harness.builds, builds);
    EXPECT_FALSE(harness.preview.suppressReload());

    editing->timeline.undo();
    EXPECT_EQ(editing->timeline.project().textClips().front().textPosition, std::nullopt);
    test::settle();
    EXPECT_NEAR(outlineOf(title.id).center().x(), 480, 1);
}

// In the window, a tap on a text opens its inspector over the pane and
// selects the clip on the timeline; a tap beside every text closes it and
// clears the selection; the form's Delete removes the clip as one edit.
TEST_F(PreviewOverlayWidgetTest, ATapOnATextOpensItsInspectorAndSelectsIt) {
    const Clip title = textClip("Title", 0, 10, TextPosition::center());
    const Clip footer = textClip("Footer", 0, 10);
    show(projectOf({trackOf(TrackType::text, {title, footer})}), 1, {960, 540}, true);

    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, outlineOf(title.id).center().toPoint());
    ASSERT_NE(view->textInspector().form(), nullptr);
    EXPECT_EQ(view->textInspector().form()->state().originalClip().id, title.id);
    EXPECT_EQ(editing->timeline.selectedClipId(), title.id);

    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, outlineOf(footer.id).center().toPoint());
    ASSERT_NE(view->textInspector().form(), nullptr);
    EXPECT_EQ(view->textInspector().form()->state().originalClip().id, footer.id);
    EXPECT_EQ(editing->timeline.selectedClipId(), footer.id);

    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(view->textInspector().form(), nullptr);
    EXPECT_EQ(editing->timeline.selectedClipId(), std::nullopt);

    QTest::mouseClick(&overlay(), Qt::LeftButton, {}, outlineOf(title.id).center().toPoint());
    ASSERT_NE(view->textInspector().form(), nullptr);
    view->textInspector().form()->deleteButton()->click();
    EXPECT_EQ(view->textInspector().form(), nullptr);
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return editing->timeline.project().textClips().size() == 1; }));
    EXPECT_EQ(editing->timeline.project().textClips().front().id, footer.id);
    EXPECT_FALSE(editing->banner.currentError());
}

// A 1920 x 1080 project in a 960 x 540 pane: the preview's texts on black
// are the exported frame's, halved.
TEST_F(PreviewOverlayWidgetTest, TextsBreakAndLieWhereTheExportPutsThem) {
    Clip title =
        textClip("A title long enough to break into two lines at this size of font", 0, 10);
    title.textStyle = TextStyle{28, "white", "white", 0, std::nullopt, 0.6};
    Clip wiped = textClip("Wiped from the left", 0.875, 9.125, TextPosition::top());
    wiped.textAnimation = TextAnimation{TextEntranceType::wipeReveal(Direction::left), std::nullopt,
                                        std::nullopt, EasingCurve::linear, EasingCurve::linear};
    const Project project = projectOf({trackOf(TrackType::text, {title, wiped})});
    // A quarter into the wipe's 0.5 s entrance.
    const MediaTime time(30, 30);
    show(project, time.seconds());
    const QImage shown = view->grab().toImage();
    const QImage expected = exported(project, time, {960, 540});

    const QRect lower(0, 270, 960, 270);
    const std::vector<Band> drawnLines = inkBands(shown, lower);
    const std::vector<Band> exportedLines = inkBands(expected, lower);
    ASSERT_EQ(drawnLines.size(), 2u);
    ASSERT_EQ(exportedLines.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(drawnLines[i].top, exportedLines[i].top, 1) << "line " << i;
        EXPECT_NEAR(drawnLines[i].bottom, exportedLines[i].bottom, 1) << "line " << i;
        EXPECT_NEAR(drawnLines[i].left, exportedLines[i].left, 1) << "line " << i;
        EXPECT_NEAR(drawnLines[i].right, exportedLines[i].right, 1) << "line " << i;
    }

    // The wipe keeps the left quarter of the text's raster.
    const auto drawn = overlay().drawnOverlays();
    ASSERT_EQ(drawn.size(), 2u);
    ASSERT_TRUE(drawn[1].placement.clip);
    const QRectF box = drawn[1].placement.outline().boundingRect();
    EXPECT_NEAR(drawn[1].placement.clip->boundingRect().width(), box.width() / 4, 1e-6);
    const std::vector<Band> wipe = inkBands(shown, QRect(0, 0, 960, 270));
    ASSERT_EQ(wipe.size(), 1u);
    EXPECT_GE(wipe[0].left, box.left() - 1);
    EXPECT_LE(wipe[0].right, box.left() + box.width() / 4 + 1);
    const std::vector<Band> exportedWipe = inkBands(expected, QRect(0, 0, 960, 270));
    ASSERT_EQ(exportedWipe.size(), 1u);
    EXPECT_NEAR(wipe[0].right, exportedWipe[0].right, 1);
}

// A turned, mirrored, cropped photo under a Ken Burns move, fading in: the
// preview over the picture is the exported frame, halved, at three times;
// also in a pane wider than the picture.
TEST_F(PreviewOverlayWidgetTest, ImagesMatchTheExportedFrame) {
    test::writeTestPhoto(harness.folder / "photo.png", 1200, 900);
    Clip photo = clipOf(TrackType::image, 0, 3, harness.folder / "photo.png");
    photo.transform = ClipTransform{90, true, false, NormalizedRect{0.1, 0, 0.8, 0.9}};
    photo.overlayTransform = OverlayTransform{0.45, 0.55, 0.8};
    photo.imageAnimation = ImageAnimation{
        ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.2, 0.1, 0.6, 0.6}), EasingCurve::easeInOut};
    photo.transitionIn = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    photo.colorAdjust = ColorAdjust{0.05, 1.1, 1.3};
    const Project project = projectOf({trackOf(TrackType::image, {photo})});

    for (QSize pane : {QSize(960, 540), QSize(1200, 540)}) {
        show(project, 0);
        view->resize(pane);
        const QRect picture = overlay().contentRect().toRect();
        for (int frame : {6, 45, 80}) {
            const MediaTime time(frame, 30);
            seek(time.seconds());
            const QImage shown = view->grab(picture).toImage();
            const double decibels = test::psnr(shown, exported(project, time, picture.size()));
            EXPECT_GE(decibels, 40) << "pane " << pane.width() << ", frame " << frame;
        }
    }
}

// An outlined title at rest between whole pixels of the picture, in a pane of
// the export's size and in a smaller one: its ink lies where the export's
// does, not up to half a pixel off.
TEST_F(PreviewOverlayWidgetTest, ARestingTitleLiesBetweenWholePixelsAsTheExportPutsIt) {
    Clip title = textClip("Hello Vexel", 0, 5, TextPosition::bottom());
    title.textStyle = TextStyle{48, "white", "black", 2, std::nullopt, std::nullopt};
    const Project project = projectOf({trackOf(TrackType::text, {title})});
    const MediaTime time(30, 30);
    // The centre of the light ink's weight over `area`.
    auto inkCentre = [](const QImage& picture, QRect area) {
        double weight = 0;
        QPointF sum;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const double ink = qGray(picture.pixel(x, y));
                weight += ink;
                sum += ink * QPointF(x, y);
            }
        }
        return weight > 0 ? sum / weight : QPointF();
    };

    for (QSize pane : {QSize(1920, 1080), QSize(960, 540)}) {
        SCOPED_TRACE(pane.width());
        show(project, time.seconds(), pane);
        const QRect picture = overlay().contentRect().toRect();
        ASSERT_EQ(picture.size(), pane);
        const QRect around = outlineOf(title.id).toAlignedRect().adjusted(-4, -4, 4, 4);
        const QPointF shown = inkCentre(view->grab(picture).toImage(), around);
        const QPointF expected = inkCentre(exported(project, time, picture.size()), around);
        EXPECT_NEAR(shown.x(), expected.x(), 0.1);
        EXPECT_NEAR(shown.y(), expected.y(), 0.1);
    }
}
