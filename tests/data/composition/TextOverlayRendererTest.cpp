#include "data/composition/TextOverlayRenderer.h"
#include "data/composition/ExpectRect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vexel {
namespace {

using media::Affine;
using media::Rect;
using testing::expectRect;

constexpr media::Size kFrame{1920, 1080};

// A title's raster of a 200 x 60 box, placed at (860, 11.52).
image::Picture placedTitle() {
    return image::Picture(media::PixelBuffer::create(400, 120))
        .transformed(Affine::scale(0.5, 0.5).then(Affine::translation(860, 11.52)));
}

TextAnimationState state(double scale, double offsetX, double offsetY) {
    TextAnimationState s;
    s.scale = scale;
    s.normalizedOffsetX = offsetX;
    s.normalizedOffsetY = offsetY;
    return s;
}

TEST(TextOverlayRendererTest, ScalesAboutTheTextsCentreThenMovesByFramePixels) {
    struct Case {
        const char* name;
        TextAnimationState state;
        Rect expected;
    };
    const Rect still{{860, 11.52}, {200, 60}};
    const std::vector<Case> cases = {
        {"neutral", state(1, 0, 0), still},
        {"double", state(2, 0, 0), {{760, -18.48}, {400, 120}}},
        // Offsets count down; the frame counts up.
        {"offset", state(1, 0.1, 0.1), {{1052, -96.48}, {200, 60}}},
        {"both", state(0.5, -0.25, 0), {{430, 26.52}, {100, 30}}},
        // Below a thousandth: not applied.
        {"tiny", state(1.0009, 4e-7, -4e-7), still},
        {"NaN", state(std::nan(""), std::nan(""), 0), still},
        {"infinite", state(HUGE_VAL, 0, 0), still},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectRect(
            TextOverlayRenderer::applyAnimationTransforms(placedTitle(), c.state, kFrame).extent(),
            c.expected);
    }
    // Opacity and mask are the compositor's to apply.
    TextAnimationState faded = state(1, 0, 0);
    faded.opacity = 0.25;
    faded.maskProgress = 0.5;
    const image::Picture untouched =
        TextOverlayRenderer::applyAnimationTransforms(placedTitle(), faded, kFrame);
    EXPECT_EQ(untouched.alpha(), 1);
    EXPECT_TRUE(untouched.clips().empty());
}

TEST(TextOverlayRendererTest, WipesKeepTheUncoveredShareOfTheText) {
    struct Case {
        double progress;
        Direction direction;
        Rect kept;
    };
    const std::vector<Case> cases = {
        {1, Direction::left, {{860, 11.52}, {200, 60}}},
        {0.25, Direction::left, {{860, 11.52}, {50, 60}}},
        {0.25, Direction::right, {{1010, 11.52}, {50, 60}}},
        {0.25, Direction::up, {{860, 56.52}, {200, 15}}},
        {0.25, Direction::down, {{860, 11.52}, {200, 15}}},
        {3, Direction::right, {{860, 11.52}, {200, 60}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.progress << " " << rawValue(c.direction));
        expectRect(
            TextOverlayRenderer::applyWipeMask(placedTitle(), c.progress, c.direction).extent(),
            c.kept);
    }
    for (double nothing : {0.0, -1.0, std::nan("")}) {
        for (Direction direction : allDirections) {
            EXPECT_TRUE(
                TextOverlayRenderer::applyWipeMask(placedTitle(), nothing, direction).isEmpty())
                << nothing << " " << rawValue(direction);
        }
    }
}

} // namespace
} // namespace vexel
