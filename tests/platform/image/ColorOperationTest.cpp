#include "platform/image/ColorOperation.h"
#include "TestPixels.h"
#include "platform/image/Compositing.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vexel::image;
using namespace vexel::image::test;
using vexel::WorkerPool;
using vexel::media::PixelBuffer;

namespace {

PixelBuffer applied(const PixelBuffer& source, const ColorOperation& operation) {
    WorkerPool pool(2);
    PixelBuffer out = PixelBuffer::create(source.width(), source.height());
    renderInto(out, Picture(source).withColor(operation), pool);
    return out;
}

Bgra appliedTo(Bgra pixel, const ColorOperation& operation) {
    return pixelAt(applied(solid(1, 1, pixel), operation), 0, 0);
}

void expectWithinOne(Bgra actual, Bgra expected, const std::string& what) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_LE(std::abs(actual[i] - expected[i]), 1)
            << what << ": byte " << i << " is " << actual[i] << ", expected " << expected[i];
    }
}

} // namespace

TEST(ColorOperation, NeutralSettingsLeaveEveryPixelWithinOneStep) {
    PixelBuffer source = noise(61, 17, 7);
    for (auto [name, operation] : std::vector<std::pair<std::string, ColorOperation>>{
             {"colour controls (0, 1, 1)", ColorOperation::colorControls(0, 1, 1)},
             {"sepia 0", ColorOperation::sepia(0)},
             {"grayscale 0", ColorOperation::grayscale(0)}}) {
        PixelBuffer out = applied(source, operation);
        for (int row = 0; row < source.height(); ++row) {
            for (int x = 0; x < source.width(); ++x) {
                expectWithinOne(pixelAt(out, x, row), pixelAt(source, x, row), name);
            }
        }
    }
}

TEST(ColorOperation, KnownColoursComeOutAsTheFormulasSay) {
    struct Case {
        std::string what;
        ColorOperation operation;
        Bgra in;
        Bgra expected;
    };
    const std::vector<Case> cases{
        // 128/255 + 0.2, unscaled.
        {"brightness 0.2",
         ColorOperation::colorControls(0.2, 1, 1),
         {128, 128, 128, 255},
         {179, 179, 179, 255}},
        {"contrast 2 below mid grey",
         ColorOperation::colorControls(0, 2, 1),
         {32, 32, 32, 255},
         {0, 0, 0, 255}},
        {"contrast 2 above mid grey",
         ColorOperation::colorControls(0, 2, 1),
         {200, 200, 200, 255},
         {255, 255, 255, 255}},
        // Red's luma is 0.2125.
        {"saturation 0",
         ColorOperation::colorControls(0, 1, 0),
         {0, 0, 255, 255},
         {54, 54, 54, 255}},
        {"sepia 1 on white", ColorOperation::sepia(1), {255, 255, 255, 255}, {239, 255, 255, 255}},
        {"sepia 0.5 on blue", ColorOperation::sepia(0.5), {255, 0, 0, 255}, {144, 21, 24, 255}},
        {"grayscale 1 on green",
         ColorOperation::grayscale(1),
         {0, 255, 0, 255},
         {182, 182, 182, 255}},
        // S-curve of 0.2125: 0.2125² · (3 − 0.425).
        {"noir on red", ColorOperation::noir(), {0, 0, 255, 255}, {30, 30, 30, 255}},
        {"noir on white", ColorOperation::noir(), {255, 255, 255, 255}, {255, 255, 255, 255}},
        // Straight 0.5 becomes 0.7, premultiplied again by 128/255.
        {"brightness on half transparent",
         ColorOperation::colorControls(0.2, 1, 1),
         {64, 64, 64, 128},
         {90, 90, 90, 128}},
        {"brightness on transparent",
         ColorOperation::colorControls(0.5, 1, 1),
         {0, 0, 0, 0},
         {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        expectWithinOne(appliedTo(c.in, c.operation), c.expected, c.what);
    }
}

TEST(ColorOperation, GrayscaleAtFullIntensityIsGreyAndPresetsGoByExactName) {
    PixelBuffer out = applied(noise(40, 9, 3), ColorOperation::grayscale(1));
    for (int row = 0; row < out.height(); ++row) {
        for (int x = 0; x < out.width(); ++x) {
            Bgra p = pixelAt(out, x, row);
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[1], p[2]);
        }
    }
    EXPECT_EQ(filterPreset("sepia", 0.7), ColorOperation::sepia(0.7));
    EXPECT_EQ(filterPreset("grayscale", 0.3), ColorOperation::grayscale(0.3));
    EXPECT_EQ(filterPreset("noir", 0.1), ColorOperation::noir());
    for (const char* name : {"Sepia", "NOIR", "none", "", "blur"}) {
        EXPECT_FALSE(filterPreset(name, 1).has_value()) << name;
    }
    EXPECT_THROW(ColorOperation::colorControls(std::nan(""), 1, 1), std::invalid_argument);
    EXPECT_THROW(ColorOperation::sepia(INFINITY), std::invalid_argument);
}
