#include "platform/media/Affine.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace vexel::media;

namespace {

void expectNear(const Affine& actual, const Affine& expected) {
    EXPECT_NEAR(actual.a, expected.a, 1e-12);
    EXPECT_NEAR(actual.b, expected.b, 1e-12);
    EXPECT_NEAR(actual.c, expected.c, 1e-12);
    EXPECT_NEAR(actual.d, expected.d, 1e-12);
    EXPECT_NEAR(actual.tx, expected.tx, 1e-9);
    EXPECT_NEAR(actual.ty, expected.ty, 1e-9);
}

} // namespace

TEST(Affine, ThenAppliesThisFirst) {
    Affine scaleThenMove = Affine::scale(2, 3).then(Affine::translation(10, 20));
    EXPECT_EQ(scaleThenMove.apply(Point{1, 1}), (Point{12, 23}));
    Affine moveThenScale = Affine::translation(10, 20).then(Affine::scale(2, 3));
    EXPECT_EQ(moveThenScale.apply(Point{1, 1}), (Point{22, 63}));
    // Composition agrees with applying one after the other.
    Affine t = Affine::rotation(0.3).then(Affine::translation(5, -2)).then(Affine::scale(1.5, 1));
    Point p{7, 11};
    Point stepwise = Affine::scale(1.5, 1).apply(
        Affine::translation(5, -2).apply(Affine::rotation(0.3).apply(p)));
    EXPECT_NEAR(t.apply(p).x, stepwise.x, 1e-12);
    EXPECT_NEAR(t.apply(p).y, stepwise.y, 1e-12);
}

TEST(Affine, PortraitPhoneTransformIsAQuarterTurnMovedRight) {
    // 1920x1080 stored, shown 1080 wide and 1920 high.
    Affine portrait = Affine::rotation(std::numbers::pi / 2).then(Affine::translation(1080, 0));
    expectNear(portrait, Affine{0, 1, -1, 0, 1080, 0});
    Rect shown = Affine{0, 1, -1, 0, 1080, 0}.apply(Rect{{0, 0}, {1920, 1080}});
    EXPECT_EQ(shown, (Rect{{0, 0}, {1080, 1920}}));
    // The stored picture's top-left corner ends up at the top right.
    EXPECT_EQ((Affine{0, 1, -1, 0, 1080, 0}).apply(Point{0, 0}), (Point{1080, 0}));
    EXPECT_EQ((Affine{0, 1, -1, 0, 1080, 0}).apply(Size{1920, 1080}), (Size{-1080, 1920}));
}

TEST(Affine, InverseUndoesAndSingularHasNone) {
    Affine t{0, 1, -1, 0, 1080, 0};
    auto inverse = t.inverted();
    ASSERT_TRUE(inverse.has_value());
    expectNear(t.then(*inverse), Affine::identity());
    expectNear(inverse->then(t), Affine::identity());
    EXPECT_FALSE(Affine::scale(0, 1).inverted().has_value());
    EXPECT_TRUE(Affine::identity().isIdentity());
    EXPECT_FALSE(Affine::translation(1, 0).isIdentity());
}
