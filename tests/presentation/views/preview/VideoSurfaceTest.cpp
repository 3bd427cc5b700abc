#include "presentation/views/preview/VideoSurface.h"

#include "data/composition/TestProjects.h"
#include "presentation/cache/PixelBufferImage.h"
#include "presentation/support/ComposedFrame.h"
#include "presentation/support/PreviewHarness.h"
#include "support/Psnr.h"
#include "support/media/MovieMaker.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

class VideoSurfaceTest : public ::testing::Test {
protected:
    VideoSurfaceTest() {
        vexel::testing::writeTestMovie(clip_, {.frameCount = 180, .maxKeyFrameInterval = 30});
    }

    // The exported frame at `time`, as the export reads it.
    QImage exported(const Project& project, const MediaTime& time) const {
        const std::optional<media::VideoFrame> frame =
            test::composedFrame(*harness.compositionBuilder, project, time);
        EXPECT_TRUE(frame && frame->time == time);
        return frame ? imageOfPixels(frame->buffer) : QImage();
    }

    test::PreviewHarness harness;
    std::filesystem::path clip_ = harness.folder / "clip.mp4";
    WorkerPool workers{2};
};

} // namespace

// The 320 x 240 test clip: a grey left half, a blue right half and a white
// mark in the top-left corner.
TEST_F(VideoSurfaceTest, ScalesTheLastFrameIntoThePictureOnBlackAndAgainOnResize) {
    VideoSurface surface(harness.preview.player(), workers);
    QObject::connect(&harness.preview, &PreviewViewModel::videoSizeChanged, &surface,
                     [&] { surface.setVideoSize(harness.preview.videoSize()); });
    surface.resize(400, 400);
    surface.show();
    EXPECT_EQ(surface.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(surface.presentedImage().isNull());

    harness.load(projectOf({trackOf(TrackType::video, {clipOf(TrackType::video, 0, 6, clip_)})}));
    ASSERT_TRUE(harness.waitForFrame(MediaTime::zero()));
    EXPECT_EQ(surface.contentRect(), QRectF(0, 50, 400, 300));
    EXPECT_EQ(surface.presentedImage().size(), QSize(400, 300));
    QImage drawn = surface.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(200, 20), QColor(Qt::black)) << "bar above";
    EXPECT_EQ(drawn.pixelColor(200, 380), QColor(Qt::black)) << "bar below";
    EXPECT_GT(drawn.pixelColor(4, 54).lightness(), 240) << "the mark, 1.25 times larger";
    EXPECT_EQ(drawn.pixelColor(12, 64).blue(), drawn.pixelColor(12, 64).red()) << "grey";
    EXPECT_GT(drawn.pixelColor(300, 200).blue(), 200) << "blue";

    // Wider than the picture: bars on the sides, the frame one to one.
    surface.resize(640, 240);
    EXPECT_EQ(surface.contentRect(), QRectF(160, 0, 320, 240));
    const QImage frame = imageOfPixels(harness.preview.player().currentVideoFrame()->buffer);
    EXPECT_EQ(surface.presentedImage(), frame);
    drawn = surface.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(100, 120), QColor(Qt::black)) << "bar on the left";
    EXPECT_EQ(drawn.copy(160, 0, 320, 240).convertToFormat(QImage::Format_ARGB32_Premultiplied),
              frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));

    // No content: nothing but black.
    harness.load(projectOf({}));
    EXPECT_TRUE(surface.presentedImage().isNull());
    EXPECT_EQ(surface.grab().toImage().pixelColor(320, 120), QColor(Qt::black));
}

// Graded A dissolving for 1 s into sepia B: the picture on screen is the
// exported picture, inside the dissolve as well as on either side.
TEST_F(VideoSurfaceTest, ShowsEachClipsColourAndFilterAsTheExportDrawsThem) {
    Clip a = clipOf(TrackType::video, 0, 5.5, clip_);
    a.colorAdjust = ColorAdjust{0.1, 1.3, 1.6};
    a.transitionOut = TransitionEffect{1, TransitionType::crossDissolve(), EasingCurve::linear};
    Clip b = clipOf(TrackType::video, 5.5, 5.5, clip_);
    b.filter = FilterPreset{"sepia", 0.8};
    const Project project = projectOf({trackOf(TrackType::video, {a, b})});

    VideoSurface surface(harness.preview.player(), workers);
    surface.resize(320, 240);
    surface.show();
    harness.load(project);
    surface.setVideoSize(harness.preview.videoSize());
    ASSERT_EQ(harness.preview.videoSize(), (media::Size{320, 240}));

    // Frames 30, 144 and 156 (inside the dissolve, 4.5 s to 5.5 s), 210, 285.
    for (int frame : {30, 144, 156, 210, 285}) {
        const MediaTime time(frame, 30);
        harness.preview.seek(time.seconds());
        ASSERT_TRUE(harness.waitForFrame(time)) << frame;
        const double decibels = test::psnr(surface.presentedImage(), exported(project, time));
        EXPECT_GE(decibels, 40) << "frame " << frame;
    }
}
