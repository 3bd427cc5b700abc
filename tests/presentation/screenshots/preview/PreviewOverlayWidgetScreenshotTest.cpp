// The overlays over the preview at their named states, drawn on a real X
// server.

#include "presentation/views/preview/PreviewOverlayWidget.h"

#include "data/composition/TestProjects.h"
#include "presentation/support/ColourfulMovie.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/support/Screenshot.h"
#include "presentation/support/TestPhoto.h"
#include "presentation/views/preview/PreviewPlayerView.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

class PreviewOverlayWidgetScreenshotTest : public ::testing::Test {
protected:
    PreviewOverlayWidgetScreenshotTest() { test::writeColourfulMovie(movie_); }

    Clip text(const std::string& words, double start, TextPosition position) const {
        Clip clip = clipOf(TrackType::text, start, 4 - start);
        clip.assetName = words;
        clip.textPosition = position;
        return clip;
    }

    // Shows the clips over the moving colours at frame `frameIndex`, with
    // `selected`.
    void show(std::vector<Clip> texts, std::vector<Clip> images, int frameIndex,
              std::optional<Uuid> selected = std::nullopt) {
        Project project =
            projectOf({trackOf(TrackType::video, {clipOf(TrackType::video, 0, 4, movie_)}),
                       trackOf(TrackType::image, std::move(images)),
                       trackOf(TrackType::text, std::move(texts))});
        editing = std::make_unique<test::ConversationHarness>(project);
        view = std::make_unique<PreviewPlayerView>(harness.preview, editing->timeline, tutorial,
                                                   icons);
        view->resize(960, 600);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        harness.load(project);
        const MediaTime frame(frameIndex, 30);
        harness.preview.seek(frame.seconds());
        ASSERT_TRUE(harness.waitForFrame(frame));
        editing->timeline.setSelectedClipId(selected);
        // The images are made off the GUI thread.
        ASSERT_TRUE(vexel::testing::runEventsUntil(
            [&] { return harness.preview.overlayImageCache().loadsInFlight() == 0; }));
        test::settle();
    }

    test::PreviewHarness harness;
    std::filesystem::path movie_ = harness.folder / "colours.mp4";
    std::filesystem::path photo_ = harness.folder / "photo.png";
    TutorialState tutorial;
    IconRegistry icons{harness.logger};
    std::unique_ptr<test::ConversationHarness> editing;
    std::unique_ptr<PreviewPlayerView> view;
};

} // namespace

TEST_F(PreviewOverlayWidgetScreenshotTest, TextSelected) {
    Clip title = text("Summer in the Mountains", 0, TextPosition::bottom());
    title.textStyle = TextStyle{48, "white", "black", 2, std::nullopt, std::nullopt};
    show({title}, {}, 30, title.id);
    const auto drawn = view->overlay().drawnOverlays();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_FALSE(drawn.front().selectionFrame.isEmpty());
    test::saveScreenshot(*view, "overlay-text-selected.png");
}

TEST_F(PreviewOverlayWidgetScreenshotTest, TextsStacked) {
    Clip below = text("UNDERNEATH", 0, TextPosition::center());
    below.textStyle = TextStyle{96, "yellow", "black", 3, std::nullopt, std::nullopt};
    Clip above = text("on top", 0, TextPosition::custom(0.55, 0.55));
    above.textStyle = TextStyle{64, "red", "white", 4, std::nullopt, std::nullopt};
    show({below, above}, {}, 30);
    ASSERT_EQ(view->overlay().drawnOverlays().size(), 2u);
    test::saveScreenshot(*view, "overlay-texts-stacked.png");
}

TEST_F(PreviewOverlayWidgetScreenshotTest, ImageTransformed) {
    test::writeTestPhoto(photo_, 1600, 1200);
    Clip photo = clipOf(TrackType::image, 0, 4, photo_);
    photo.transform = ClipTransform{90, true, false, NormalizedRect{0.1, 0.0, 0.8, 0.9}};
    photo.overlayTransform = OverlayTransform{0.7, 0.4, 0.6};
    photo.colorAdjust = ColorAdjust{0.05, 1.1, 1.4};
    show({}, {photo}, 30, photo.id);
    ASSERT_EQ(view->overlay().drawnOverlays().size(), 1u);
    test::saveScreenshot(*view, "overlay-image-transformed.png");
}

TEST_F(PreviewOverlayWidgetScreenshotTest, TextWipe) {
    Clip title = text("Revealed from the left", 0, TextPosition::center());
    title.textStyle = TextStyle{56, "white", "black", 2, std::nullopt, std::nullopt};
    title.textAnimation = TextAnimation{TextEntranceType::wipeReveal(Direction::left), std::nullopt,
                                        std::nullopt, EasingCurve::linear, EasingCurve::linear};
    // Half through its 0.5 s entrance.
    show({title}, {}, 8);
    const auto drawn = view->overlay().drawnOverlays();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_TRUE(drawn.front().placement.clip);
    test::saveScreenshot(*view, "overlay-text-wipe.png");
}
