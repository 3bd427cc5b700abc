// The preview against the export of the reference project: at five times the
// picture the preview pane shows (video and overlays) and the frame the
// exported MP4 holds, at the export's size.

#include "presentation/views/preview/PreviewPlayerView.h"

#include "data/composition/CompositionBuilder.h"
#include "data/export/FFmpegExportService.h"
#include "presentation/cache/PixelBufferImage.h"
#include "presentation/support/ComposedFrame.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/preview/VideoSurface.h"
#include "support/Psnr.h"
#include "support/media/FrameAt.h"
#include "support/media/ReferenceProject.h"

#include <QDir>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace vexel;
using media::MediaTime;

namespace {

// So low that what the export loses is the 8-bit 4:2:0 colour conversion's
// alone (about 44 dB here, as at CRF 0), well clear of the margin: what the
// comparison measures is the preview's difference. The fastest preset loses
// no more and takes a tenth of the time.
const media::EncoderTuning kTuning{.preset = "ultrafast", .quality = 4};
constexpr double kMargin = 40;

QString timeName(double seconds) {
    return QString::number(seconds, 'f', 1);
}

void saveImage(const QImage& image, const QString& name) {
    const QDir folder(QStringLiteral(VEXEL_SCREENSHOT_DIR));
    folder.mkpath(QStringLiteral("."));
    EXPECT_TRUE(image.save(folder.filePath(name))) << name.toStdString();
}

// What the export's frame compositor makes of `project` at `seconds`, before
// any encoding.
QImage composedFrame(const Project& project, double seconds) {
    const std::optional<media::VideoFrame> frame =
        test::composedFrame(CompositionBuilder(std::make_shared<NullLogger>()), project,
                            MediaTime::fromSeconds(seconds));
    EXPECT_TRUE(frame) << "no composed frame at " << seconds;
    return frame ? imageOfPixels(frame->buffer).copy() : QImage();
}

// The pane's picture over its content rectangle: the video surface with the
// overlays drawn on it, without the transport capsule.
QImage grabPicture(PreviewPlayerView& view) {
    const QRect content = view.surface().deviceContentRect();
    QImage picture(content.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    view.surface().render(&painter, QPoint(), QRegion(content));
    view.overlay().render(&painter, QPoint(), QRegion(content), QWidget::DrawChildren);
    return picture;
}

TEST(PreviewAgainstExport, ThePreviewShowsWhatTheExportWritesAtFiveTimes) {
    test::PreviewHarness harness;
    const vexel::testing::ReferenceSources sources = vexel::testing::writeReferenceSources(
        harness.folder.path(), vexel::testing::ReferencePicture::smooth,
        {.preset = "ultrafast", .quality = std::nullopt});
    const Project project = vexel::testing::referenceProject(sources);

    auto logger = std::make_shared<NullLogger>();
    FFmpegExportService exporter(CompositionBuilder(logger), logger, std::chrono::system_clock::now,
                                 kTuning);
    const std::filesystem::path movie = exporter.exportProject(project, ExportFormat::mp4, {}, {});

    harness.load(project);
    ASSERT_TRUE(harness.preview.hasContent());
    // The overlays follow the timeline's project, as in the window.
    test::ConversationHarness editing{project};
    TutorialState tutorial;
    IconRegistry icons{harness.logger};
    PreviewPlayerView view{harness.preview, editing.timeline, tutorial, icons};
    // The composition is 16:9, as the pane is: the picture fills it.
    view.resize(1920, 1080);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    test::settle();
    ASSERT_EQ(view.surface().deviceContentRect(), QRect(0, 0, 1920, 1080));

    for (const double seconds : {1.0, 5.0, 9.5, 12.2, 17.0}) {
        SCOPED_TRACE(seconds);
        const MediaTime time = MediaTime::fromSeconds(seconds);
        harness.preview.seek(seconds);
        ASSERT_TRUE(harness.waitForFrame(time));
        test::settle();
        const QImage preview = grabPicture(view);
        const QImage exported = imageOfPixels(vexel::testing::frameAt(movie, seconds)).copy();
        const QImage composed = composedFrame(project, seconds);
        saveImage(preview, QStringLiteral("wysiwyg-%1-preview.png").arg(timeName(seconds)));
        saveImage(exported, QStringLiteral("wysiwyg-%1-export.png").arg(timeName(seconds)));

        const double previewAgainstExport = test::psnr(preview, exported);
        const double encoderLoss = test::psnr(composed, exported);
        // The preview against the frame before encoding tells, on a failure,
        // where the difference lies.
        std::printf("%5.1f s: preview against export %.2f dB, export against the compositor's "
                    "frame %.2f dB, preview against that frame %.2f dB\n",
                    seconds, previewAgainstExport, encoderLoss, test::psnr(preview, composed));
        EXPECT_GE(previewAgainstExport, kMargin);
        // Otherwise a failure above would be the encoder's, not the preview's.
        EXPECT_GE(encoderLoss, kMargin) << "the export alone loses more than the margin";
    }
}

} // namespace
