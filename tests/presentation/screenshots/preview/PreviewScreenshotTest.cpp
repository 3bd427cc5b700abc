// The preview pane at its named states, drawn on a real X server.

#include "presentation/views/preview/PreviewPlayerView.h"

#include "data/composition/TestProjects.h"
#include "platform/media/MovieWriter.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vexel;
using media::MediaTime;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

// 4 s of 640 x 360: a band of hues across, bright at the top and darker
// down, sliding a little every frame, so that colour and filter show.
void writeColourfulMovie(const std::filesystem::path& path) {
    constexpr int width = 640;
    constexpr int height = 360;
    media::MovieWriter writer(path, media::FileType::mp4);
    auto& video = writer.addVideoInput({.width = width, .height = height, .frameRate = 30});
    ASSERT_TRUE(writer.startWriting());
    media::PixelBufferPool pool(width, height);
    for (int i = 0; i < 120; ++i) {
        media::PixelBuffer frame = pool.makeBufferForOverwrite();
        std::vector<QColor> hues;
        for (int x = 0; x < width; ++x) {
            hues.push_back(QColor::fromHsvF(std::fmod((x + 4.0 * i) / width, 1.0), 0.75, 1.0));
        }
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = frame.row(y);
            const double light = 0.35 + 0.6 * (1 - static_cast<double>(y) / height);
            for (int x = 0; x < width; ++x) {
                const QColor& hue = hues[static_cast<std::size_t>(x)];
                row[4 * x + 0] = static_cast<std::uint8_t>(hue.blue() * light);
                row[4 * x + 1] = static_cast<std::uint8_t>(hue.green() * light);
                row[4 * x + 2] = static_cast<std::uint8_t>(hue.red() * light);
                row[4 * x + 3] = 255;
            }
        }
        ASSERT_TRUE(video.append(frame, MediaTime(i, 30)));
    }
    video.markAsFinished();
    ASSERT_TRUE(writer.finishWriting());
}

class PreviewScreenshotTest : public ::testing::Test {
protected:
    PreviewScreenshotTest() {
        writeColourfulMovie(movie_);
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
    TutorialState tutorial;
    IconRegistry icons{harness.logger};
    PreviewPlayerView view{harness.preview, tutorial, icons};
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
