#include "presentation/views/preview/OverlayGestures.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using G = OverlayGestures;

namespace {

const QRectF kRect(100, 50, 960, 540);

void expectPoint(QPointF actual, QPointF expected, const char* name) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-12) << name;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-12) << name;
}

void expectTransform(const OverlayTransform& actual, const OverlayTransform& expected,
                     const char* name) {
    EXPECT_NEAR(actual.x, expected.x, 1e-12) << name;
    EXPECT_NEAR(actual.y, expected.y, 1e-12) << name;
    EXPECT_NEAR(actual.scale, expected.scale, 1e-12) << name;
}

} // namespace

TEST(OverlayGesturesTest, TextReportsKeepPositionsToThePictureAndScalesToTheirRange) {
    struct Move {
        const char* name;
        QPointF actual;
        QPointF expected;
    };
    const Move moves[] = {
        // Dragged: from the text's centre, measured against the picture.
        {"bottom text 96 points right",
         G::textDragged(TextPosition::bottom(), {96, 0}, kRect),
         {0.6, 0.92}},
        {"released far outside",
         G::textDragged(TextPosition::center(), {-5000, 9000}, kRect),
         {0, 1}},
        {"a custom point outside the picture starts at its edge",
         G::textDragged(TextPosition::custom(1.4, -0.2), {-96, 54}, kRect),
         {0.9, 0.1}},
        // Nudged: a preset becomes a point.
        {"left arrow at the top", G::textNudged(TextPosition::top(), -0.01, 0), {0.49, 0.08}},
        {"down arrow at the bottom", G::textNudged(TextPosition::bottom(), 0, 0.01), {0.5, 0.93}},
        {"right arrow at the right edge",
         G::textNudged(TextPosition::custom(1, 0.3), 0.01, 0),
         {1, 0.3}},
    };
    for (const Move& move : moves) {
        expectPoint(move.actual, move.expected, move.name);
    }

    struct Scale {
        const char* name;
        double actual;
        double expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Scale scales[] = {
        {"pinch x10", G::textPinched(1.0, 10), 5},
        {"pinch x0.01", G::textPinched(std::nullopt, 0.01), 0.1},
        {"pinch 1.2 on 2", G::textPinched(2.0, 1.2), 2.4},
        {"+ at 4.95", G::textStepped(4.95, 0.1), 5},
        {"- at 0.15", G::textStepped(0.15, -0.1), 0.1},
        {"- without a scale", G::textStepped(std::nullopt, -0.1), 0.9},
        {"not a number", G::textPinched(1.0, nan), 0.1},
    };
    for (const Scale& scale : scales) {
        EXPECT_NEAR(scale.actual, scale.expected, 1e-12) << scale.name;
    }
}

TEST(OverlayGesturesTest, ImageReportsFollowTheTableOfTriggers) {
    const OverlayTransform none{};
    const OverlayTransform placed{0.25, 0.75, 2};
    struct Case {
        const char* name;
        OverlayTransform actual;
        OverlayTransform expected;
    };
    const Case cases[] = {
        // Without a transform every report starts from the middle at 1.
        {"drag of an untransformed image",
         G::imageDragged(none, {96, -54}, kRect, 1),
         {0.6, 0.4, 1}},
        {"arrow on an untransformed image", G::imageNudged(none, 0, -0.01), {0.5, 0.49, 1}},
        {"+ on an untransformed image", G::imageStepped(none, 0.1), {0.5, 0.5, 1.1}},
        // A drag that ends during a pinch carries the live scale, unbounded;
        // the pinch's end bounds it and carries the live drag.
        {"drag during a pinch", G::imageDragged(placed, {0, 0}, kRect, 4), {0.25, 0.75, 8}},
        {"pinch end during a drag", G::imagePinched(placed, 4, {0.1, -0.2}), {0.35, 0.55, 5}},
        {"pinch to a hundredth", G::imagePinched(none, 0.01, {}), {0.5, 0.5, 0.1}},
        {"dragged beyond the picture", G::imageDragged(placed, {2000, -2000}, kRect, 1), {1, 0, 2}},
        {"right arrow at the right edge", G::imageNudged({1, 0.5, 1}, 0.01, 0), {1, 0.5, 1}},
        {"+ at 4.95", G::imageStepped({0.5, 0.5, 4.95}, 0.1), {0.5, 0.5, 5}},
        {"- at 0.15", G::imageStepped({0.5, 0.5, 0.15}, -0.1), {0.5, 0.5, 0.1}},
    };
    for (const Case& c : cases) {
        expectTransform(c.actual, c.expected, c.name);
    }
}
