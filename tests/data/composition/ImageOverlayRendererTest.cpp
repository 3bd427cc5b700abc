#include "data/composition/ImageOverlayRenderer.h"
#include "data/composition/ExpectRect.h"
#include "data/composition/OverlayRenderer.h"
#include "platform/image/Compositing.h"
#include "platform/image/TestPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vexel {
namespace {

using image::test::Bgra;
using media::MediaTime;
using media::Rect;
using testing::expectRect;

constexpr media::Size kFrame{1920, 1080};

// On screen from 1 s to 5 s.
ColorAdjustInstruction::ImageOverlayEntry entryFrom1To5() {
    ColorAdjustInstruction::ImageOverlayEntry entry;
    entry.fadeTiming.compositionStartTime = MediaTime(600, 600);
    entry.fadeTiming.compositionEndTime = MediaTime(3000, 600);
    return entry;
}

// A 100 x 50 picture placed at (300, 200).
image::Picture placed() {
    return image::Picture(media::PixelBuffer::create(100, 50))
        .transformed(media::Affine::translation(300, 200));
}

Rect extentAt(const ImageAnimationType& type, EasingCurve easing, const MediaTime& time,
              const ColorAdjustInstruction::ImageOverlayEntry& entry = entryFrom1To5()) {
    return ImageOverlayRenderer::applyAnimation(placed(), ImageAnimation{type, easing}, entry,
                                                kFrame, time)
        .extent();
}

TEST(ImageOverlayRendererTest, MovesThePlacedImageByItsProgressOverTheClip) {
    const MediaTime start(600, 600);
    const MediaTime middle(1800, 600);
    const MediaTime end(3000, 600);
    const Rect still{{300, 200}, {100, 50}};
    struct Case {
        const char* name;
        ImageAnimationType type;
        EasingCurve easing;
        MediaTime time;
        Rect expected;
    };
    const std::vector<Case> cases = {
        {"zoomIn start", ImageAnimationType::zoomIn(2), EasingCurve::linear, start, still},
        // Twice the size about the frame's centre (960, 540).
        {"zoomIn end",
         ImageAnimationType::zoomIn(2),
         EasingCurve::linear,
         end,
         {{-360, -140}, {200, 100}}},
        {"zoomIn middle",
         ImageAnimationType::zoomIn(2),
         EasingCurve::linear,
         middle,
         {{-30, 30}, {150, 75}}},
        {"zoomIn after",
         ImageAnimationType::zoomIn(2),
         EasingCurve::linear,
         MediaTime(9000, 600),
         {{-360, -140}, {200, 100}}},
        {"zoomOut start",
         ImageAnimationType::zoomOut(2),
         EasingCurve::linear,
         start,
         {{-360, -140}, {200, 100}}},
        {"zoomOut end", ImageAnimationType::zoomOut(2), EasingCurve::linear, end, still},
        {"pan right",
         ImageAnimationType::pan(Direction::right, 0.5),
         EasingCurve::linear,
         end,
         {{1260, 200}, {100, 50}}},
        {"pan left",
         ImageAnimationType::pan(Direction::left, 0.5),
         EasingCurve::linear,
         end,
         {{-660, 200}, {100, 50}}},
        // Up is towards the top of the frame.
        {"pan up",
         ImageAnimationType::pan(Direction::up, 0.25),
         EasingCurve::linear,
         end,
         {{300, 470}, {100, 50}}},
        {"pan down",
         ImageAnimationType::pan(Direction::down, 0.25),
         EasingCurve::linear,
         end,
         {{300, -70}, {100, 50}}},
        // easeIn at half time: a quarter of the way.
        {"pan eased",
         ImageAnimationType::pan(Direction::right, 1),
         EasingCurve::easeIn,
         middle,
         {{780, 200}, {100, 50}}},
        {"pan easeInOut",
         ImageAnimationType::pan(Direction::right, 1),
         EasingCurve::easeInOut,
         MediaTime(1200, 600),
         {{540, 200}, {100, 50}}},
        // A quarter turn about the image's own centre (350, 225).
        {"rotate",
         ImageAnimationType::rotate(90),
         EasingCurve::linear,
         end,
         {{325, 175}, {50, 100}}},
        {"rotate start", ImageAnimationType::rotate(90), EasingCurve::linear, start, still},
        // Covering the frame: 43.2 times the 50 x 25 middle, centred across.
        {"kenBurns end",
         ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.25, 0.5, 0.5}),
         EasingCurve::linear,
         end,
         {{-120, 0}, {2160, 1080}}},
        // Framings that keep nothing or are not numbers leave the image placed.
        {"kenBurns empty", ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.25, 0, 0.5}),
         EasingCurve::linear, end, still},
        {"kenBurns NaN",
         ImageAnimationType::kenBurns({0, 0, std::nan(""), 1}, {0.25, 0.25, 0.5, 0.5}),
         EasingCurve::linear, middle, still},
        {"kenBurns infinite",
         ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.25, HUGE_VAL, 0.5}),
         EasingCurve::linear, end, still},
        {"kenBurns outside", ImageAnimationType::kenBurns({2, 2, 0.5, 0.5}, {2, 2, 0.5, 0.5}),
         EasingCurve::linear, end, still},
        {"zoom NaN", ImageAnimationType::zoomIn(std::nan("")), EasingCurve::linear, end, still},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectRect(extentAt(c.type, c.easing, c.time), c.expected);
    }

    // With no time on screen the motion is at its end throughout.
    ColorAdjustInstruction::ImageOverlayEntry instant = entryFrom1To5();
    instant.fadeTiming.compositionEndTime = instant.fadeTiming.compositionStartTime;
    expectRect(extentAt(ImageAnimationType::zoomIn(2), EasingCurve::linear, start, instant),
               {{-360, -140}, {200, 100}});
}

TEST(ImageOverlayRendererTest, ShakesWithinTwentyPixelsPerUnitOfIntensity) {
    const ImageAnimationType shake = ImageAnimationType::shake(1);
    double widest = 0;
    for (int tick = 0; tick <= 2400; ++tick) {
        const MediaTime time(600 + tick, 600);
        const Rect box = extentAt(shake, EasingCurve::linear, time);
        const double dx = box.minX() - 300;
        const double dy = box.minY() - 200;
        ASSERT_LE(std::abs(dx), 20 + 1e-9) << tick;
        ASSERT_LE(std::abs(dy), 20 + 1e-9) << tick;
        widest = std::max({widest, std::abs(dx), std::abs(dy)});
    }
    EXPECT_GT(widest, 19.9);
    expectRect(extentAt(shake, EasingCurve::linear, MediaTime(600, 600)), {{300, 200}, {100, 50}});
}

TEST(ImageOverlayRendererTest, KenBurnsEndsOnItsFramingEnlargedToCoverTheFrame) {
    // Yellow in the middle quarter, blue around it, placed to fill the frame.
    const media::PixelBuffer picture = image::test::makeBuffer(192, 108, [](int x, int row) {
        const bool middle = x >= 48 && x < 144 && row >= 27 && row < 81;
        return middle ? Bgra{0, 255, 255, 255} : Bgra{255, 0, 0, 255};
    });
    ColorAdjustInstruction::ImageOverlayEntry entry = entryFrom1To5();
    // A small frame that the picture fills as it is.
    constexpr media::Size frameSize{192, 108};
    const std::optional<image::Picture> fitted =
        OverlayRenderer::positionImageOverlay(picture, entry, frameSize);
    ASSERT_TRUE(fitted);
    const ImageAnimation motion{ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.25, 0.5, 0.5}),
                                EasingCurve::linear};
    WorkerPool workers(0);
    auto corners = [&](const MediaTime& time) {
        media::PixelBuffer frame = media::PixelBuffer::create(192, 108);
        image::renderInto(
            frame, ImageOverlayRenderer::applyAnimation(*fitted, motion, entry, frameSize, time),
            workers);
        return std::vector<Bgra>{image::test::pixelAt(frame, 2, 2),
                                 image::test::pixelAt(frame, 189, 105),
                                 image::test::pixelAt(frame, 96, 54)};
    };
    const Bgra yellow{0, 255, 255, 255};
    const Bgra blue{255, 0, 0, 255};
    EXPECT_EQ(corners(MediaTime(600, 600)), (std::vector<Bgra>{blue, blue, yellow}));
    EXPECT_EQ(corners(MediaTime(3000, 600)), (std::vector<Bgra>{yellow, yellow, yellow}));
}

} // namespace
} // namespace vexel
