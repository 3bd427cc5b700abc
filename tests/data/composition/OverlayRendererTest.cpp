#include "data/composition/OverlayRenderer.h"
#include "data/composition/ExpectRect.h"
#include "data/composition/TextRenderer.h"
#include "platform/image/Compositing.h"
#include "platform/image/TestPixels.h"
#include "support/ImageFileWriter.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace vexel {
namespace {

using image::test::Bgra;
using image::test::makeBuffer;
using image::test::pixelAt;
using media::Rect;
using testing::expectRect;
using testing::ImageFileFormat;

const Bgra kRed{0, 0, 255, 255};
const Bgra kGreen{0, 255, 0, 255};
const Bgra kBlue{255, 0, 0, 255};
const Bgra kWhite{255, 255, 255, 255};
constexpr media::Size kFrame{1920, 1080};

// Red, green, blue and white quarters: top left, top right, bottom left,
// bottom right.
media::PixelBuffer quarters(int width, int height) {
    return makeBuffer(width, height, [&](int x, int row) {
        const bool right = x >= width / 2;
        const bool bottom = row >= height / 2;
        return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
    });
}

bool near(const Bgra& actual, const Bgra& expected, int tolerance) {
    for (int i = 0; i < 4; ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

// The colour at the centre of each quarter, in the order of quarters().
std::vector<Bgra> quarterColours(const media::PixelBuffer& buffer) {
    const int w = buffer.width();
    const int h = buffer.height();
    return {pixelAt(buffer, w / 4, h / 4), pixelAt(buffer, 3 * w / 4, h / 4),
            pixelAt(buffer, w / 4, 3 * h / 4), pixelAt(buffer, 3 * w / 4, 3 * h / 4)};
}

// Small frames: drawing is the kernels' business, only where things land is ours.
constexpr media::Size kSmallFrame{192, 108};

media::PixelBuffer drawnOnFrame(const image::Picture& picture) {
    WorkerPool workers(0);
    media::PixelBuffer frame = media::PixelBuffer::create(192, 108);
    image::renderInto(frame, picture, workers);
    return frame;
}

TEST(OverlayRendererTest, LoadsImagesOfEveryFormatUprightByTheirOrientation) {
    const testing::TemporaryFolder folder;
    WorkerPool workers(2);
    const media::PixelBuffer stored = quarters(64, 32);
    struct Case {
        ImageFileFormat format;
        int orientation;
        int tolerance;
        // The quarter colours of the upright picture and its width.
        std::vector<Bgra> upright;
        int uprightWidth;
    };
    const std::vector<Case> cases = {
        {ImageFileFormat::png, 1, 0, {kRed, kGreen, kBlue, kWhite}, 64},
        // 6: a quarter turn clockwise makes it upright.
        {ImageFileFormat::png, 6, 0, {kBlue, kRed, kWhite, kGreen}, 32},
        {ImageFileFormat::png, 3, 0, {kWhite, kBlue, kGreen, kRed}, 64},
        {ImageFileFormat::png, 8, 0, {kGreen, kWhite, kRed, kBlue}, 32},
        {ImageFileFormat::png, 2, 0, {kGreen, kRed, kWhite, kBlue}, 64},
        {ImageFileFormat::jpeg, 1, 12, {kRed, kGreen, kBlue, kWhite}, 64},
        {ImageFileFormat::jpeg, 6, 12, {kBlue, kRed, kWhite, kGreen}, 32},
        {ImageFileFormat::heic, 1, 24, {kRed, kGreen, kBlue, kWhite}, 64},
        {ImageFileFormat::heic, 6, 24, {kBlue, kRed, kWhite, kGreen}, 32},
        {ImageFileFormat::heic10Bit, 8, 24, {kGreen, kWhite, kRed, kBlue}, 32},
    };
    int index = 0;
    for (const Case& c : cases) {
        const std::filesystem::path path = folder / ("image" + std::to_string(index++));
        testing::writeImageFile(path, stored, c.format, c.orientation);
        const media::PixelBuffer loaded = OverlayRenderer::loadProcessedImage(
            path, std::nullopt, std::nullopt, std::nullopt, workers);
        ASSERT_FALSE(loaded.isNull()) << path;
        EXPECT_EQ(loaded.width(), c.uprightWidth) << path;
        EXPECT_EQ(loaded.height(), 64 * 32 / c.uprightWidth) << path;
        const std::vector<Bgra> colours = quarterColours(loaded);
        for (int q = 0; q < 4; ++q) {
            EXPECT_TRUE(near(colours[q], c.upright[q], c.tolerance))
                << path << " quarter " << q << ": " << ::testing::PrintToString(colours[q]);
        }
    }
}

TEST(OverlayRendererTest, BakesColourPresetAndCropIntoTheUprightImage) {
    const testing::TemporaryFolder folder;
    WorkerPool workers(2);
    const std::filesystem::path turned = folder / "turned.png";
    testing::writeImageFile(turned, quarters(64, 32), ImageFileFormat::png, 6);

    // The crop is taken of the upright 32 x 64 picture: its left half.
    ClipTransform leftHalf;
    leftHalf.cropRect = NormalizedRect{0, 0, 0.5, 1};
    leftHalf.rotation = 90; // left to placement
    const media::PixelBuffer cropped =
        OverlayRenderer::loadProcessedImage(turned, std::nullopt, std::nullopt, leftHalf, workers);
    ASSERT_FALSE(cropped.isNull());
    EXPECT_EQ(cropped.width(), 16);
    EXPECT_EQ(cropped.height(), 64);
    EXPECT_EQ(pixelAt(cropped, 8, 16), kBlue);
    EXPECT_EQ(pixelAt(cropped, 8, 48), kWhite);

    // Whole parts of the fractions; a crop that keeps nothing is not made.
    ClipTransform thin;
    thin.cropRect = NormalizedRect{0.99, 0, 0.02, 0.5};
    EXPECT_EQ(OverlayRenderer::loadProcessedImage(turned, std::nullopt, std::nullopt, thin, workers)
                  .width(),
              32);
    ClipTransform outside;
    outside.cropRect = NormalizedRect{2, 2, 0.5, 0.5};
    EXPECT_EQ(
        OverlayRenderer::loadProcessedImage(turned, std::nullopt, std::nullopt, outside, workers)
            .width(),
        32);

    const std::filesystem::path grey = folder / "grey.png";
    testing::writeImageFile(grey, image::test::solid(8, 8, {128, 128, 128, 255}),
                            ImageFileFormat::png);
    auto centre = [&](std::optional<ColorAdjust> adjust, std::optional<FilterPreset> filter) {
        const media::PixelBuffer loaded =
            OverlayRenderer::loadProcessedImage(grey, adjust, filter, std::nullopt, workers);
        EXPECT_FALSE(loaded.isNull());
        return loaded.isNull() ? Bgra{} : pixelAt(loaded, 4, 4);
    };
    // Brightness is added as it stands: 0.5 + 0.2.
    EXPECT_TRUE(near(centre(ColorAdjust{0.2, 1, 1}, std::nullopt), {179, 179, 179, 255}, 1));
    const Bgra sepia = centre(std::nullopt, FilterPreset{"sepia", 1});
    EXPECT_GT(sepia[2], sepia[1]);
    EXPECT_GT(sepia[1], sepia[0]);
    // Neutral adjustments and presets that name nothing leave the pixels alone.
    for (const auto& filter : {FilterPreset{"none", 1}, FilterPreset{"", 1},
                               FilterPreset{"Sepia", 1}, FilterPreset{"vintage", 1}}) {
        EXPECT_EQ(centre(ColorAdjust{1e-10, 1, 1 - 1e-10}, filter), (Bgra{128, 128, 128, 255}))
            << filter.name;
    }

    std::ofstream(folder / "broken.png") << "no picture here";
    EXPECT_TRUE(OverlayRenderer::loadProcessedImage(folder / "broken.png", std::nullopt,
                                                    std::nullopt, std::nullopt, workers)
                    .isNull());
    EXPECT_TRUE(OverlayRenderer::loadProcessedImage(folder / "gone.png", std::nullopt, std::nullopt,
                                                    std::nullopt, workers)
                    .isNull());
}

ColorAdjustInstruction::ImageOverlayEntry imageEntry(std::optional<OverlayTransform> overlay,
                                                     std::optional<ClipTransform> clip = {}) {
    ColorAdjustInstruction::ImageOverlayEntry entry;
    entry.overlayTransform = overlay;
    entry.clipTransform = clip;
    return entry;
}

TEST(OverlayRendererTest, FitsAndPlacesImagesInTheFrame) {
    const media::PixelBuffer wide = quarters(400, 200);
    struct Case {
        const char* name;
        media::PixelBuffer image;
        ColorAdjustInstruction::ImageOverlayEntry entry;
        Rect placed;
    };
    ClipTransform identity;
    const std::vector<Case> cases = {
        // Fitted by width (4.8 against 5.4) and centred.
        {"none", wide, imageEntry(std::nullopt), {{0, 60}, {1920, 960}}},
        {"neutral", wide, imageEntry(OverlayTransform{0.5, 0.5, 1}), {{0, 60}, {1920, 960}}},
        {"identity clip", wide, imageEntry(std::nullopt, identity), {{0, 60}, {1920, 960}}},
        // Half the fitting scale, centred at (480, 810) bottom-up.
        {"quarter", wide, imageEntry(OverlayTransform{0.25, 0.25, 0.5}), {{0, 570}, {960, 480}}},
        // Fitted by height, touching the top and the bottom.
        {"portrait", quarters(200, 400), imageEntry(std::nullopt), {{690, 0}, {540, 1080}}},
        {"turned",
         wide,
         imageEntry(std::nullopt, ClipTransform{90, false, false, std::nullopt}),
         {{690, 0}, {540, 1080}}},
    };
    for (const Case& c : cases) {
        const std::optional<image::Picture> placed =
            OverlayRenderer::positionImageOverlay(c.image, c.entry, kFrame);
        ASSERT_TRUE(placed) << c.name;
        SCOPED_TRACE(c.name);
        expectRect(placed->extent(), c.placed);
    }

    EXPECT_FALSE(OverlayRenderer::positionImageOverlay({}, imageEntry(std::nullopt), kFrame));
    EXPECT_FALSE(OverlayRenderer::positionImageOverlay(wide, imageEntry(std::nullopt),
                                                       {std::nan(""), 1080}));
    EXPECT_FALSE(OverlayRenderer::positionImageOverlay(
        wide, imageEntry(OverlayTransform{0.2, 0.5, HUGE_VAL}), kFrame));
}

TEST(OverlayRendererTest, TurnsAndMirrorsImagesBeforeFittingThem) {
    const media::PixelBuffer wide = quarters(40, 20);
    struct Case {
        ClipTransform clip;
        // Quarter colours of the placed picture as seen on screen.
        std::vector<Bgra> seen;
    };
    const std::vector<Case> cases = {
        // Counter-clockwise: the top-right quarter comes to the top left.
        {{90, false, false, std::nullopt}, {kGreen, kWhite, kRed, kBlue}},
        {{270, false, false, std::nullopt}, {kBlue, kRed, kWhite, kGreen}},
        {{0, true, false, std::nullopt}, {kGreen, kRed, kWhite, kBlue}},
        {{0, false, true, std::nullopt}, {kBlue, kWhite, kRed, kGreen}},
        {{180, true, false, std::nullopt}, {kBlue, kWhite, kRed, kGreen}},
    };
    for (const Case& c : cases) {
        const std::optional<image::Picture> placed = OverlayRenderer::positionImageOverlay(
            wide, imageEntry(std::nullopt, c.clip), kSmallFrame);
        ASSERT_TRUE(placed);
        const Rect box = placed->extent();
        const media::PixelBuffer frame = drawnOnFrame(*placed);
        // Rows of the frame run top down.
        const double top = kSmallFrame.height - box.maxY();
        auto at = [&](double fx, double fy) {
            return pixelAt(frame, static_cast<int>(box.minX() + fx * box.size.width),
                           static_cast<int>(top + fy * box.size.height));
        };
        EXPECT_EQ(
            (std::vector<Bgra>{at(0.25, 0.25), at(0.75, 0.25), at(0.25, 0.75), at(0.75, 0.75)}),
            c.seen)
            << c.clip.rotation << " " << c.clip.flipHorizontal << " " << c.clip.flipVertical;
    }
}

ColorAdjustInstruction::TextOverlayEntry textEntry(std::string text, TextPosition position,
                                                   double fontSize,
                                                   std::optional<double> boxWidth = {},
                                                   std::optional<double> textScale = {}) {
    ColorAdjustInstruction::TextOverlayEntry entry;
    entry.text = std::move(text);
    entry.position = position;
    entry.style.fontSize = fontSize;
    entry.style.boxWidth = boxWidth;
    entry.textScale = textScale;
    return entry;
}

TEST(OverlayRendererTest, RasterisesTextAtTheOutputScale) {
    const auto entry = textEntry("Summer in the mountains", TextPosition::bottom(), 48);
    const media::PixelBuffer raster = OverlayRenderer::renderTextImage(entry, kFrame);
    ASSERT_FALSE(raster.isNull());
    // 48 points of a 450-high frame are 115.2 at 1080 lines, in a box of 0.96 W.
    TextStyle scaled = entry.style;
    scaled.fontSize = 115.2;
    const media::Size box = TextRenderer::measureTextSize(entry.text, scaled, 0.96 * 1920);
    EXPECT_EQ(raster.width(), static_cast<int>(2 * box.width));
    EXPECT_EQ(raster.height(), static_cast<int>(2 * box.height));

    // A frame of no height keeps the style's size.
    const media::PixelBuffer flat = OverlayRenderer::renderTextImage(entry, {1920, 0});
    const media::Size flatBox = TextRenderer::measureTextSize(entry.text, entry.style, 0.96 * 1920);
    EXPECT_EQ(flat.height(), static_cast<int>(2 * flatBox.height));

    EXPECT_TRUE(
        OverlayRenderer::renderTextImage(textEntry("", TextPosition::top(), 48), kFrame).isNull());
    EXPECT_TRUE(OverlayRenderer::renderTextImage(entry, {0, 1080}).isNull());
}

TEST(OverlayRendererTest, PlacesTextLayersByTheirLayerHeight) {
    struct Origin {
        TextPosition position;
        double layerHeight;
        double y;
    };
    const std::vector<Origin> origins = {
        {TextPosition::top(), 149.76, 918.72},
        {TextPosition::bottom(), 149.76, 11.52},
        {TextPosition::center(), 149.76, 465.12},
        {TextPosition::custom(0.5, 0.5), 120, 480},
        {TextPosition::custom(0.5, 0), 149.76, 1080 - 149.76},
        {TextPosition::custom(0.5, 1), 149.76, 0},
        {TextPosition::top(), 1200, 0},
    };
    for (const Origin& o : origins) {
        EXPECT_NEAR(OverlayRenderer::textYOrigin(o.position, 1080, o.layerHeight), o.y, 1e-9)
            << o.position.displayName() << " " << o.layerHeight;
    }

    // A raster of a 200 x 60 box.
    const media::PixelBuffer raster = media::PixelBuffer::create(400, 120);
    struct Placement {
        const char* name;
        ColorAdjustInstruction::TextOverlayEntry entry;
        Rect placed;
    };
    const std::vector<Placement> placements = {
        // Font 48 gives a layer 149.76 high; a box of half the frame starts at 480.
        {"half box", textEntry("t", TextPosition::bottom(), 48, 0.5), {{860, 11.52}, {200, 60}}},
        // Font 30 gives 72 points, under the minimum layer height of 120.
        {"small font", textEntry("t", TextPosition::bottom(), 30, 0.5), {{860, 26.4}, {200, 60}}},
        // The box is limited to the left edge.
        {"custom left",
         textEntry("t", TextPosition::custom(0, 0.5), 48),
         {{821.6, 465.12}, {200, 60}}},
        {"custom right",
         textEntry("t", TextPosition::custom(1, 0.5), 48, 0.5),
         {{1340, 465.12}, {200, 60}}},
        {"scale 1", textEntry("t", TextPosition::bottom(), 48, 0.5, 1), {{860, 11.52}, {200, 60}}},
        {"scale 1.5",
         textEntry("t", TextPosition::bottom(), 48, 0.5, 1.5),
         {{810, -3.48}, {300, 90}}},
    };
    for (const Placement& p : placements) {
        const std::optional<image::Picture> placed =
            OverlayRenderer::positionTextOverlay(raster, p.entry, kFrame);
        ASSERT_TRUE(placed) << p.name;
        SCOPED_TRACE(p.name);
        expectRect(placed->extent(), p.placed);
    }
    EXPECT_FALSE(OverlayRenderer::positionTextOverlay(
        {}, textEntry("t", TextPosition::bottom(), 48), kFrame));
}

} // namespace
} // namespace vexel
