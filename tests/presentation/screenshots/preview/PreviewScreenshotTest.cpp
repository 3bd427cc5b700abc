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
