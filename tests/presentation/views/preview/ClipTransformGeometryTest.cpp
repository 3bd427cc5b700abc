#include "presentation/views/preview/ClipTransformGeometry.h"

#include <gtest/gtest.h>

#include <optional>

using namespace vexel;

namespace {

void expectNear(QPointF actual, QPointF expected, const char* name, const char* what) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9) << name << ": " << what;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9) << name << ": " << what;
}

} // namespace

// Over a 200 x 100 view, where the view's corners are drawn.
TEST(ClipTransformGeometryTest, TurnsMirrorsThenCropsInTheTurnedView) {
    const QSizeF view(200, 100);
    struct Case {
        const char* name;
        std::optional<ClipTransform> transform;
        QPointF topLeft;
        QPointF bottomRight;
        bool clipped;
    };
    auto crop = [](double x, double y, double w, double h) {
        return ClipTransform{0, false, false, NormalizedRect{x, y, w, h}};
    };
    const Case cases[] = {
        {"none", std::nullopt, {0, 0}, {200, 100}, false},
        {"identity with a whole crop", crop(0, 0, 1, 1), {0, 0}, {200, 100}, false},
        {"half a turn", ClipTransform{180, false, false, std::nullopt}, {200, 100}, {0, 0}, false},
        {"a quarter turn clockwise",
         ClipTransform{90, false, false, std::nullopt},
         {150, -50},
         {50, 150},
         false},
        {"mirrored across", ClipTransform{0, true, false, std::nullopt}, {200, 0}, {0, 100}, false},
        {"mirrored both ways",
         ClipTransform{0, true, true, std::nullopt},
         {200, 100},
         {0, 0},
         false},
        // The middle half fills the view: doubled about the centre, no shift.
        {"the middle", crop(0.25, 0.25, 0.5, 0.5), {-100, -50}, {300, 150}, true},
        // The left half fills the view: doubled across, shifted right.
        {"the left half", crop(0, 0, 0.5, 1), {0, 0}, {400, 100}, true},
        {"no width", crop(0.5, 0, 0, 1), {0, 0}, {200, 100}, false},
        {"negative height", crop(0, 0, 1, -0.5), {0, 0}, {200, 100}, false},
        // The crop is taken after the turn: the turned view's left half.
        {"turned, then the left half",
         ClipTransform{180, false, false, NormalizedRect{0, 0, 0.5, 1}},
         {400, 100},
         {0, 0},
         true},
    };
    for (const Case& c : cases) {
        const ClipTransformGeometry geometry = ClipTransformGeometry::of(c.transform, view);
        expectNear(geometry.transform.map(QPointF(0, 0)), c.topLeft, c.name, "top left");
        expectNear(geometry.transform.map(QPointF(200, 100)), c.bottomRight, c.name,
                   "bottom right");
        EXPECT_EQ(geometry.clip.has_value(), c.clipped) << c.name;
        if (geometry.clip) {
            EXPECT_EQ(*geometry.clip, QRectF(0, 0, 200, 100)) << c.name;
        }
    }
}
