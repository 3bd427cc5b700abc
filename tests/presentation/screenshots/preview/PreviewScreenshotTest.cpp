// The preview pane at its named states, drawn on a real X server.

#include "presentation/views/preview/PreviewPlayerView.h"

#include "data/composition/TestProjects.h"
#include "presentation/support/ColourfulMovie.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using namespace vexel;
using media::MediaTime;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

class PreviewScreenshotTest : public ::testing::Test {
protected:
    PreviewScreenshotTest() {
        test::writeColourfulMovie(movie_);
        view.resize(800, 520);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    Project oneClip(std::optional<FilterPreset> filter) const {
        Clip clip = clipOf(TrackType::video, 0, 4, movie_);
        clip.filter = std::move(filter);
        return projectOf({trackOf(TrackType::video, {clip})});
    }

    // Shows the frame at `time` and waits until the surface has it.
    void showFrame(const MediaTime& time) {
        harness.preview.seek(time.seconds());
        ASSERT_TRUE(harness.waitForFrame(time));
        test::settle();
    }

    test::PreviewHarness harness;
    std::filesystem::path movie_ = harness.folder / "colours.mp4";
    test::ConversationHarness editing{Project({}, 3600)};
    TutorialState tutorial;
    IconRegistry icons{harness.logger};
    PreviewPlayerView view{harness.preview, editing.timeline, tutorial, icons};
};

} // namespace

TEST_F(PreviewScreenshotTest, Empty) {
    const QImage shot = test::saveScreenshot(view, "preview-empty.png");
    EXPECT_FALSE(view.transportBar().isVisible());
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::black));
}

TEST_F(PreviewScreenshotTest, Transport) {
    harness.load(oneClip(std::nullopt));
    showFrame(MediaTime(75, 30));
    ASSERT_TRUE(view.transportBar().isVisible());
    EXPECT_EQ(view.transportBar().timeText(), "0:02");
    const QImage shot = test::saveScreenshot(view, "preview-transport.png");
    // 16:9 in 800 x 520: bars above and below the picture.
    EXPECT_EQ(view.surface().contentRect(), QRectF(0, 35, 800, 450));
    EXPECT_EQ(shot.pixelColor(400, 10), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(400, 100), QColor(Qt::black));
}

TEST_F(PreviewScreenshotTest, Sepia) {
    harness.load(oneClip(FilterPreset{"sepia", 1}));
    showFrame(MediaTime(45, 30));
    const QImage shot = test::saveScreenshot(view, "preview-sepia.png");
    // The hues are gone: red leads, blue trails, everywhere on the picture.
    for (int x : {100, 300, 500, 700}) {
        const QColor colour = shot.pixelColor(x, 200);
        EXPECT_GE(colour.red(), colour.green()) << x;
        EXPECT_GE(colour.green(), colour.blue()) << x;
    }
}

TEST_F(PreviewScreenshotTest, TransportOverAPillarboxedPicture) {
    // 16:9 in 880 x 450: bars left and right, the capsule's rounded left end
    // over the left bar and the rest of it over the picture.
    view.resize(880, 450);
    harness.load(oneClip(std::nullopt));
    showFrame(MediaTime(75, 30));
    ASSERT_EQ(view.surface().contentRect(), QRectF(40, 0, 800, 450));
    const QRect capsule = view.transportBar().geometry();
    ASSERT_EQ(capsule.left(), PreviewPlayerView::capsuleInset);
    ASSERT_LT(capsule.left() + capsule.height() / 2, 40) << "the rounded end lies over the bar";
    const QImage shot = test::saveScreenshot(view, "preview-transport-pillarboxed.png");

    // The whole outline shows, over the bar as over the picture: its left
    // end, and its top and bottom edges on both sides of the picture's edge.
    const int middle = capsule.center().y();
    const auto brightest = [&](QPoint from, QPoint step, int count) {
        int best = 0;
        for (int i = 0; i < count; ++i) {
            best = std::max(best, qGray(shot.pixel(from + i * step)));
        }
        return best;
    };
    EXPECT_GT(brightest({capsule.left(), middle}, {1, 0}, 3), 24) << "the left end";
    for (int x : {capsule.left() + capsule.height() / 2 + 2, 36, 60}) {
        SCOPED_TRACE(x);
        EXPECT_GT(brightest({x, capsule.top()}, {0, 1}, 3), 24) << "the top edge";
        EXPECT_GT(brightest({x, capsule.bottom() - 2}, {0, 1}, 3), 24) << "the bottom edge";
    }
    // Outside it, the bar stays black.
    EXPECT_EQ(shot.pixelColor(capsule.left() - 3, middle), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(20, capsule.top() - 3), QColor(Qt::black));
}
