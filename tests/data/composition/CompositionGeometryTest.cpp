#include "data/composition/CompositionGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexel;
using media::Affine;
using media::Point;
using media::Rect;
using media::Size;

namespace {

// A portrait phone video: stored 1920 x 1080, shown turned by 90 degrees.
const Affine portraitTurn{0, 1, -1, 0, 1080, 0};

VideoTrackEntry entry(Size natural, Affine transform = {},
                      std::optional<ClipTransform> clipTransform = std::nullopt) {
    VideoTrackEntry made;
    made.naturalSize = natural;
    made.transform = transform;
    made.clipTransform = clipTransform;
    return made;
}

ClipTransform turned(int rotation, bool flipHorizontal = false, bool flipVertical = false) {
    return ClipTransform{rotation, flipHorizontal, flipVertical, std::nullopt};
}

ClipTransform cropped(NormalizedRect crop, int rotation = 0) {
    return ClipTransform{rotation, false, false, crop};
}

void expectPoint(const Affine& t, Point from, Point to) {
    Point mapped = t.apply(from);
    EXPECT_NEAR(mapped.x, to.x, 1e-9) << "x of (" << from.x << ", " << from.y << ")";
    EXPECT_NEAR(mapped.y, to.y, 1e-9) << "y of (" << from.x << ", " << from.y << ")";
}

} // namespace

TEST(CompositionGeometry, RenderSizeTakesEachSideFromTheLargestUprightCroppedEntry) {
    const Size landscape{1920, 1080};
    struct Case {
        const char* name;
        std::vector<VideoTrackEntry> entries;
        Size expected;
    };
    const Case cases[] = {
        {"none", {}, {0, 0}},
        {"landscape", {entry(landscape)}, {1920, 1080}},
        {"turned by its file", {entry(landscape, portraitTurn)}, {1080, 1920}},
        {"both sides maximised apart", {entry(landscape), entry({1080, 1920})}, {1920, 1920}},
        {"rotation 90", {entry(landscape, {}, turned(90))}, {1080, 1920}},
        {"rotation 270", {entry(landscape, {}, turned(270))}, {1080, 1920}},
        {"rotation 180", {entry(landscape, {}, turned(180))}, {1920, 1080}},
        {"rotation -90 swaps nothing", {entry(landscape, {}, turned(-90))}, {1920, 1080}},
        {"crop", {entry(landscape, {}, cropped({0.25, 0.25, 0.5, 0.5}))}, {960, 540}},
        {"crop after rotation", {entry(landscape, {}, cropped({0, 0, 0.5, 0.25}, 90))}, {540, 480}},
        // A stored crop reaching outside the frame keeps only what is inside;
        // an empty or NaN one keeps the whole frame.
        {"crop beyond the frame", {entry(landscape, {}, cropped({0.5, -1, 1, 1.5}))}, {960, 540}},
        {"empty crop", {entry(landscape, {}, cropped({0.5, 0.5, 0, 0.5}))}, {1920, 1080}},
        {"NaN crop", {entry(landscape, {}, cropped({NAN, 0, 0.5, 0.5}))}, {1920, 1080}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompositionGeometry::calculateRenderSize(c.entries), c.expected) << c.name;
    }
}

TEST(CompositionGeometry, FitScalesAndCentresTheUprightFrame) {
    const Size render{1920, 1080};
    // Smaller, same shape: scaled by 1.5, no translation.
    EXPECT_EQ(CompositionGeometry::calculateFitTransform({1280, 720}, {}, std::nullopt, render),
              Affine::scale(1.5, 1.5));
    // Portrait into landscape: 0.5625 and centred.
    Affine portrait =
        CompositionGeometry::calculateFitTransform({1080, 1920}, {}, std::nullopt, render);
    expectPoint(portrait, {0, 0}, {656.25, 0});
    expectPoint(portrait, {1080, 1920}, {1263.75, 1080});
    // The same picture, stored landscape and turned by its file.
    Affine phone = CompositionGeometry::calculateFitTransform({1920, 1080}, portraitTurn,
                                                              std::nullopt, render);
    expectPoint(phone, {0, 1080}, {656.25, 0});
    expectPoint(phone, {1920, 0}, {1263.75, 1080});
    // Same size: nothing to do.
    EXPECT_TRUE(CompositionGeometry::calculateFitTransform({1920, 1080}, {}, std::nullopt, render)
                    .isIdentity());
    // Without a render size, or with an empty frame, only the re-origin.
    EXPECT_EQ(CompositionGeometry::calculateFitTransform({1920, 1080}, portraitTurn, std::nullopt,
                                                         std::nullopt),
              portraitTurn);
    EXPECT_TRUE(
        CompositionGeometry::calculateFitTransform({0, 0}, {}, turned(0), render).isIdentity());
}

TEST(CompositionGeometry, RotationAndFlipsTurnTheFrameAboutItsCentreBeforeFitting) {
    const Size frame{1920, 1080};
    // Mirrored: x becomes 1920 - x.
    Affine mirrored = CompositionGeometry::calculateFitTransform(frame, {}, turned(0, true), frame);
    expectPoint(mirrored, {0, 0}, {1920, 0});
    expectPoint(mirrored, {100, 200}, {1820, 200});
    Affine upsideDown =
        CompositionGeometry::calculateFitTransform(frame, {}, turned(0, false, true), frame);
    expectPoint(upsideDown, {100, 200}, {100, 880});
    // Turned by 90 (clockwise on screen) into a portrait render: the top-left
    // corner goes to the top-right.
    Affine quarter =
        CompositionGeometry::calculateFitTransform(frame, {}, turned(90), Size{1080, 1920});
    expectPoint(quarter, {0, 0}, {1080, 0});
    expectPoint(quarter, {1920, 1080}, {0, 1920});
    // Half a turn in its own size: the corners swap.
    Affine half = CompositionGeometry::calculateFitTransform(frame, {}, turned(180), frame);
    expectPoint(half, {0, 0}, {1920, 1080});
}

TEST(CompositionGeometry, TheCropRegionIsWhatIsFittedAndMapsBackToTheSourceFrame) {
    const Size frame{1920, 1080};
    // The centre quarter of a landscape frame fills a landscape render.
    ClipTransform centre = cropped({0.25, 0.25, 0.5, 0.5});
    Affine fit = CompositionGeometry::calculateFitTransform(frame, {}, centre, frame);
    expectPoint(fit, {480, 270}, {0, 0});
    expectPoint(fit, {1440, 810}, {1920, 1080});
    auto region = CompositionGeometry::calculateCropRectangle(frame, {}, centre);
    ASSERT_TRUE(region);
    EXPECT_EQ(*region, (Rect{{480, 270}, {960, 540}}));

    // After a mirror the crop's left is the source's right.
    ClipTransform leftOfMirror{0, true, false, NormalizedRect{0, 0, 0.25, 1}};
    region = CompositionGeometry::calculateCropRectangle(frame, {}, leftOfMirror);
    ASSERT_TRUE(region);
    EXPECT_NEAR(region->minX(), 1440, 1e-9);
    EXPECT_NEAR(region->size.width, 480, 1e-9);

    // The top half of a phone video turned upright is the left of its
    // stored frame.
    ClipTransform topHalf{0, false, false, NormalizedRect{0, 0, 1, 0.5}};
    region = CompositionGeometry::calculateCropRectangle(frame, portraitTurn, topHalf);
    ASSERT_TRUE(region);
    EXPECT_NEAR(region->minX(), 0, 1e-9);
    EXPECT_NEAR(region->maxX(), 960, 1e-9);
    EXPECT_NEAR(region->size.height, 1080, 1e-9);

    EXPECT_FALSE(CompositionGeometry::calculateCropRectangle(frame, {}, turned(90)));
    EXPECT_FALSE(CompositionGeometry::calculateCropRectangle(frame, {}, cropped({0, 0, 1, 1}, 0)));
}
