#include "presentation/cache/OverlayImageCache.h"

#include "data/composition/OverlayRenderer.h"
#include "platform/image/TestPixels.h"
#include "support/ImageFileWriter.h"
#include "support/RunEventsUntil.h"
#include "support/media/TemporaryFolder.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <fstream>

using namespace vexel;
using image::test::Bgra;
using image::test::pixelAt;
using vexel::testing::runEventsUntil;

namespace {

// 400 x 300: red on the left half, blue on the right.
class OverlayImageCacheTest : public ::testing::Test {
protected:
    OverlayImageCacheTest() {
        vexel::testing::writeImageFile(
            photo_,
            image::test::makeBuffer(
                400, 300,
                [](int x, int) {
                    return x < 200 ? Bgra{0, 0, 255, 255} : Bgra{255, 0, 0, 255};
                }),
            vexel::testing::ImageFileFormat::png);
        cache_.setOnImageReady([this] { ++ready_; });
    }

    ColorAdjustInstruction::ImageOverlayEntry entry(std::optional<ClipTransform> transform = {},
                                                    std::optional<FilterPreset> filter = {}) {
        ColorAdjustInstruction::ImageOverlayEntry overlay;
        overlay.imageURL = photo_;
        overlay.clipTransform = transform;
        overlay.filter = filter;
        return overlay;
    }

    // Asks until an image made for `box` comes back.
    std::optional<OverlayImageCache::Image> made(const ColorAdjustInstruction::ImageOverlayEntry& e,
                                                 QSize box) {
        std::optional<OverlayImageCache::Image> image;
        runEventsUntil([&] {
            image = cache_.image(e, box);
            return image && image->box == box;
        });
        return image;
    }

    vexel::testing::TemporaryFolder folder_;
    std::filesystem::path photo_ = folder_ / "photo.png";
    OverlayImageCache cache_;
    int ready_ = 0;
};

} // namespace

TEST_F(OverlayImageCacheTest, MakesEachImageOffTheGuiThreadAtTheSizeItIsShown) {
    // Nothing at first: the work has started.
    EXPECT_FALSE(cache_.image(entry(), {300, 200}));
    EXPECT_EQ(cache_.loadsInFlight(), 1u);
    struct Case {
        const char* name;
        std::optional<ClipTransform> transform;
        QSize box;
        QSize expected;
    };
    const Case cases[] = {
        {"fitted into the box", std::nullopt, {300, 200}, {267, 200}},
        {"never larger than the file", std::nullopt, {4000, 4000}, {400, 300}},
        // Turned a quarter, 300 x 400 fits the box at half size; it is kept
        // as stored, unturned.
        {"a quarter turn", ClipTransform{90, false, false, std::nullopt}, {300, 200}, {200, 150}},
        // Cropped first, to 200 x 300, then fitted.
        {"the left half",
         ClipTransform{0, false, false, NormalizedRect{0, 0, 0.5, 1}},
         {100, 100},
         {67, 100}},
    };
    for (const Case& c : cases) {
        const auto image = made(entry(c.transform), c.box);
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(QSize(image->pixels.width(), image->pixels.height()), c.expected) << c.name;
        EXPECT_EQ(image->image.size(), c.expected) << c.name;
    }
    // The crop is the export's: only red is left.
    const auto left =
        made(entry(ClipTransform{0, false, false, NormalizedRect{0, 0, 0.5, 1}}), {100, 100});
    EXPECT_EQ(pixelAt(left->pixels, 60, 50), (Bgra{0, 0, 255, 255}));
    // The filter is the export's, made from the file once.
    const auto sepia = made(entry(std::nullopt, FilterPreset{"sepia", 1}), {400, 300});
    WorkerPool alone(0);
    const media::PixelBuffer exported = OverlayRenderer::loadProcessedImage(
        photo_, std::nullopt, FilterPreset{"sepia", 1}, std::nullopt, alone);
    EXPECT_EQ(pixelAt(sepia->pixels, 300, 100), pixelAt(exported, 300, 100));
    EXPECT_GE(ready_, 5);
}

TEST_F(OverlayImageCacheTest, KeepsOneImagePerSizeAndServesTheLastWhileAnotherIsMade) {
    const auto small = made(entry(), {100, 100});
    ASSERT_TRUE(small);
    // Another size: the small one meanwhile.
    const auto meanwhile = cache_.image(entry(), {300, 300});
    ASSERT_TRUE(meanwhile);
    EXPECT_EQ(meanwhile->box, QSize(100, 100));
    ASSERT_TRUE(made(entry(), {300, 300}));

    // Two clips of one file at two sizes: both stay, nothing is made again.
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(cache_.image(entry(), {100, 100})->box, QSize(100, 100));
        EXPECT_EQ(cache_.image(entry(), {300, 300})->box, QSize(300, 300));
    }
    EXPECT_EQ(cache_.loadsInFlight(), 0u);
    EXPECT_EQ(cache_.count(), 2u);

    // Emptied for a project load: work under way comes to nothing.
    cache_.image(entry(), {50, 50});
    cache_.removeAllObjects();
    EXPECT_EQ(cache_.count(), 0u);
    EXPECT_FALSE(cache_.image(entry(), {120, 120}));
    ASSERT_TRUE(made(entry(), {120, 120}));
    EXPECT_EQ(cache_.count(), 1u);
}

TEST_F(OverlayImageCacheTest, AFileThatCannotBeDecodedIsNotTriedAgain) {
    std::ofstream(folder_ / "broken.png") << "not an image";
    ColorAdjustInstruction::ImageOverlayEntry broken = entry();
    broken.imageURL = folder_ / "broken.png";
    EXPECT_FALSE(cache_.image(broken, {100, 100}));
    ASSERT_TRUE(runEventsUntil([&] { return cache_.loadsInFlight() == 0; }));
    EXPECT_FALSE(cache_.image(broken, {100, 100}));
    EXPECT_FALSE(cache_.image(broken, {200, 200}));
    EXPECT_EQ(cache_.loadsInFlight(), 0u);
    EXPECT_EQ(ready_, 0);
    // A box of nothing asks for nothing.
    EXPECT_FALSE(cache_.image(entry(), {0, 100}));
    EXPECT_EQ(cache_.loadsInFlight(), 0u);
}

// The photo is drawn as a copy, being opaque; a picture with see-through parts
// keeps them when drawn.
TEST_F(OverlayImageCacheTest, SeeThroughPartsStaySeeThroughWhenDrawn) {
    ColorAdjustInstruction::ImageOverlayEntry cutOut = entry();
    cutOut.imageURL = folder_ / "cut-out.png";
    // The project's writer keeps no alpha.
    QImage half(400, 300, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 200; ++x) {
            half.setPixelColor(x, y, Qt::red);
        }
    }
    ASSERT_TRUE(half.save(QString::fromStdString(cutOut.imageURL.string()), "PNG"));
    for (const auto& [e, right] :
         {std::pair{entry(), QColor(Qt::blue)}, std::pair{cutOut, QColor(Qt::white)}}) {
        const auto image = made(e, {400, 300});
        ASSERT_TRUE(image);
        QImage canvas(400, 300, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter(&canvas).drawImage(0, 0, image->image);
        EXPECT_EQ(canvas.pixelColor(100, 150), QColor(Qt::red));
        EXPECT_EQ(canvas.pixelColor(300, 150), right);
    }
}
