#include "presentation/views/preview/OverlayPlacement.h"

#include "data/composition/ExportCompositionBuilder.h"
#include "data/composition/OverlayRenderer.h"
#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

// A 1920 x 1080 project shown at half size.
const media::Size kFrame{1920, 1080};
const QRectF kRect(0, 0, 960, 540);

Clip title(TextPosition position) {
    Clip clip = makeClip(2, 10, TrackType::text, "Title");
    clip.textPosition = position;
    return clip;
}

Clip photo(std::optional<ImageAnimation> animation = std::nullopt,
           std::optional<OverlayTransform> transform = std::nullopt) {
    Clip clip = makeClip(0, 10, TrackType::image, "photo.png");
    clip.assetURL = "/photos/photo.png";
    clip.imageAnimation = animation;
    clip.overlayTransform = transform;
    return clip;
}

void expectRect(QRectF actual, QRectF expected, double tolerance, const char* name) {
    EXPECT_NEAR(actual.left(), expected.left(), tolerance) << name << " left";
    EXPECT_NEAR(actual.top(), expected.top(), tolerance) << name << " top";
    EXPECT_NEAR(actual.width(), expected.width(), tolerance) << name << " width";
    EXPECT_NEAR(actual.height(), expected.height(), tolerance) << name << " height";
}

// Where the export puts a text whose raster has this many pixels, in a frame
// of kFrame, as a rectangle of the frame with y down, halved.
QRectF exportedHalved(const Clip& clip, QSize raster) {
    const auto placed = OverlayRenderer::positionTextOverlay(
        media::PixelBuffer::create(raster.width(), raster.height()),
        ExportCompositionBuilder::textOverlayEntry(clip), kFrame);
    const media::Rect e = placed->extent();
    return {e.minX() / 2, (kFrame.height - e.maxY()) / 2, e.size.width / 2, e.size.height / 2};
}

} // namespace

TEST(OverlayPlacementTest, TextsLieWhereTheExportPutsThemOnThePictureScaledDown) {
    // A box measured 400 x 60 points on a half-size picture is the export's
    // box of 800 x 120 pixels, whose raster has 1600 x 240.
    struct Case {
        const char* name;
        Clip clip;
    };
    Clip scaled = title(TextPosition::center());
    scaled.textScale = 1.5;
    const Case cases[] = {
        {"bottom", title(TextPosition::bottom())},
        {"top", title(TextPosition::top())},
        {"a custom point", title(TextPosition::custom(0.3, 0.6))},
        {"scaled about its centre", scaled},
    };
    for (const Case& c : cases) {
        const auto placement = OverlayPlacement::text(c.clip, {400, 60}, kRect, kFrame, 3);
        ASSERT_TRUE(placement) << c.name;
        expectRect(placement->outline().boundingRect(), exportedHalved(c.clip, {1600, 240}), 1e-9,
                   c.name);
        EXPECT_FALSE(placement->clip) << c.name;
        EXPECT_EQ(placement->opacity, 1) << c.name;
    }

    // A point beyond the picture keeps the text's box and layer inside it:
    // the box (0.96 of the width) at the right edge, the layer (its height
    // the larger of 1.3 times the font and 120 pixels) at the top.
    const auto outside =
        OverlayPlacement::text(title(TextPosition::custom(1.4, -0.2)), {400, 60}, kRect, kFrame, 3);
    const QRectF box = outside->outline().boundingRect();
    const double boxWidth = 0.96 * kRect.width();
    EXPECT_NEAR(box.center().x(), kRect.right() - boxWidth / 2, 1e-9);
    EXPECT_NEAR(box.bottom(), kRect.top() + std::max(1.3 * 48 * 1080 / 450, 120.0) / 2, 1e-9);

    // Seen on a picture twice as large, the same text lies twice as far in.
    const auto larger = OverlayPlacement::text(title(TextPosition::bottom()), {800, 120},
                                               QRectF(0, 0, 1920, 1080), kFrame, 3);
    const QRectF half =
        OverlayPlacement::text(title(TextPosition::bottom()), {400, 60}, kRect, kFrame, 3)
            ->outline()
            .boundingRect();
    const QRectF full = larger->outline().boundingRect();
    expectRect(full, QRectF(half.topLeft() * 2, half.size() * 2), 1e-9, "twice as large");
}

TEST(OverlayPlacementTest, TextMotionWipeAndFadeFollowTheAnimationAndTheClip) {
    // A left wipe a quarter through its entrance (linear, 0.5 s of a 10 s
    // clip): the left quarter of the text is kept.
    Clip wiped = title(TextPosition::center());
    wiped.textAnimation = TextAnimation{TextEntranceType::wipeReveal(Direction::left), std::nullopt,
                                        std::nullopt, EasingCurve::linear, EasingCurve::linear};
    const auto wipe = OverlayPlacement::text(wiped, {400, 60}, kRect, kFrame, 2.125);
    ASSERT_TRUE(wipe && wipe->clip);
    const QRectF text = wipe->outline().boundingRect();
    expectRect(wipe->clip->boundingRect(), QRectF(text.topLeft(), QSizeF(100, 60)), 1e-9,
               "left quarter");

    // A slide in from the left, half through (linear): a quarter of the
    // slide's 25/96 of the width still to go, in points of the picture.
    Clip sliding = title(TextPosition::center());
    sliding.textAnimation = TextAnimation{TextEntranceType::slideIn(Direction::left), std::nullopt,
                                          std::nullopt, EasingCurve::linear, EasingCurve::linear};
    const QRectF resting =
        OverlayPlacement::text(title(TextPosition::center()), {400, 60}, kRect, kFrame, 3)
            ->outline()
            .boundingRect();
    const QRectF moving =
        OverlayPlacement::text(sliding, {400, 60}, kRect, kFrame, 2.25)->outline().boundingRect();
    EXPECT_NEAR(moving.left() - resting.left(), -0.5 * 25.0 / 96 * kRect.width(), 1e-9);
    EXPECT_NEAR(moving.top(), resting.top(), 1e-9);

    // Fading in over its first second, at half opacity.
    Clip fading = title(TextPosition::center());
    fading.opacity = 0.8;
    fading.transitionIn = TransitionEffect{1, TransitionType::fade(), EasingCurve::linear};
    EXPECT_NEAR(OverlayPlacement::text(fading, {400, 60}, kRect, kFrame, 2.5)->opacity, 0.4, 1e-12);

    // The selection frame: the scaled text with 4 points all round.
    Clip scaled = title(TextPosition::center());
    scaled.textScale = 1.5;
    const QRectF frame =
        OverlayPlacement::textSelectionFrame(scaled, {200, 50}, kRect, kFrame, 3).boundingRect();
    EXPECT_NEAR(frame.width(), 308, 1e-9);
    EXPECT_NEAR(frame.height(), 83, 1e-9);
    const QRectF drawn =
        OverlayPlacement::text(scaled, {200, 50}, kRect, kFrame, 3)->outline().boundingRect();
    EXPECT_NEAR(frame.center().x(), drawn.center().x(), 1e-9);
    EXPECT_NEAR(frame.center().y(), drawn.center().y(), 1e-9);
}

// A 400 x 300 photo (4:3) over a 16:9 picture: at rest it is fitted to the
// picture's height, 720 x 540 points, centred.
TEST(OverlayPlacementTest, ImagesAreFittedToThePictureAndMovedAsTheExportMovesThem) {
    const media::PixelBuffer image = media::PixelBuffer::create(400, 300);
    const QRectF wide(300, 0, 960, 540);
    struct Case {
        const char* name;
        Clip clip;
        QRectF rect;
        double time;
        QRectF expected;
    };
    const Case cases[] = {
        {"at rest", photo(), kRect, 1, {120, 0, 720, 540}},
        {"in a wider pane, still on the picture", photo(), wide, 1, {420, 0, 720, 540}},
        {"centred on the picture's corner",
         photo(std::nullopt, OverlayTransform{0, 0, 0.5}),
         wide,
         1,
         {300 - 180, -135, 360, 270}},
        {"zoomed in by 2, half-way",
         photo(ImageAnimation{ImageAnimationType::zoomIn(2)}),
         kRect,
         5,
         {480 - 540, 270 - 405, 1080, 810}},
        {"zoomed out from 2, at the start",
         photo(ImageAnimation{ImageAnimationType::zoomOut(2)}),
         kRect,
         0,
         {480 - 720, 270 - 540, 1440, 1080}},
        {"panned right by a half, at the end",
         photo(ImageAnimation{ImageAnimationType::pan(Direction::right, 0.5)}),
         kRect,
         9.999999,
         {120 + 480, 0, 720, 540}},
    };
    for (const Case& c : cases) {
        const auto placement = OverlayPlacement::image(c.clip, image, c.rect, kFrame, c.time);
        ASSERT_TRUE(placement) << c.name;
        expectRect(placement->outline().boundingRect(), c.expected, 1e-3, c.name);
    }

    // A shake ends with no sideways offset and 20 x sin(11.2 pi), about
    // -11.76, frame pixels per unit of intensity up the frame: down on the
    // picture, at half size.
    const auto shaken = OverlayPlacement::image(
        photo(ImageAnimation{ImageAnimationType::shake(0.5)}), image, kRect, kFrame, 9.999999);
    const QRectF shake = shaken->outline().boundingRect();
    EXPECT_NEAR(shake.left(), 120, 1e-3);
    EXPECT_NEAR(shake.top(), -20 * 0.5 * std::sin(11.2 * M_PI) / 2, 1e-3);

    // Ken Burns into the middle quarter of a picture-shaped image: that part
    // enlarged to cover the picture, twice its size, the rest cut away.
    const auto burns = OverlayPlacement::image(
        photo(ImageAnimation{ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.25, 0.5, 0.5})}),
        media::PixelBuffer::create(320, 180), kRect, kFrame, 9.999999);
    ASSERT_TRUE(burns && burns->clip);
    expectRect(burns->outline().boundingRect(), QRectF(-480, -270, 1920, 1080), 1e-3,
               "twice the picture");
    expectRect(burns->clip->boundingRect(), kRect, 1e-3, "what stays is the picture");

    // A quarter turn fits the turned image: 300 wide, 400 high, to the
    // picture's height.
    Clip turned = photo();
    turned.transform = ClipTransform{90, false, false, std::nullopt};
    const QRectF upright =
        OverlayPlacement::image(turned, image, kRect, kFrame, 1)->outline().boundingRect();
    expectRect(upright, QRectF(480 - 202.5, 0, 405, 540), 1e-3, "quarter turn");

    // How much an animation ever enlarges the image: what it is made at.
    struct Zoom {
        const char* name;
        std::optional<ImageAnimation> animation;
        double expected;
    };
    const Zoom zooms[] = {
        {"none", std::nullopt, 1},
        {"zoom in", ImageAnimation{ImageAnimationType::zoomIn(2)}, 2},
        {"zoom out", ImageAnimation{ImageAnimationType::zoomOut(3)}, 3},
        {"rotate", ImageAnimation{ImageAnimationType::rotate(90)}, 1},
        // 1440 x 1080 at rest; its middle quarter covers 1920 x 1080.
        {"Ken Burns",
         ImageAnimation{ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.25, 0.5, 0.5})},
         1920.0 / 720},
    };
    for (const Zoom& z : zooms) {
        EXPECT_NEAR(OverlayPlacement::animationZoom(photo(z.animation), image, kFrame), z.expected,
                    1e-9)
            << z.name;
    }

    // Nothing to draw without a file.
    Clip fileless = photo();
    fileless.assetURL.reset();
    EXPECT_FALSE(OverlayPlacement::image(fileless, image, kRect, kFrame, 1));
}
