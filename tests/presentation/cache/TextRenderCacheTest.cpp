#include "presentation/cache/TextRenderCache.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

Clip textClip(const std::string& text) {
    return makeClip(0, 5, TrackType::text, text);
}

// Small enough for one line in a box 60 points high.
Clip smallTextClip(const std::string& text) {
    Clip clip = textClip(text);
    TextStyle style;
    style.fontSize = 20;
    clip.textStyle = style;
    return clip;
}

bool hasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST(TextRenderCache, KeysByClipStyleAndEvenBoxSize) {
    Clip clip = textClip("Hello");
    const std::string id = clip.id.string();
    EXPECT_EQ(TextRenderCache::cacheKey(clip, {200.0, 60.0}),
              id + "|Hello|48.0|white|white|0.0||0.0|200x60");
    EXPECT_EQ(TextRenderCache::cacheKey(clip, {201.9, 61.9}),
              id + "|Hello|48.0|white|white|0.0||0.0|200x60");
    EXPECT_EQ(TextRenderCache::cacheKey(clip, {202.0, 60.0}),
              id + "|Hello|48.0|white|white|0.0||0.0|202x60");

    clip.textStyle = TextStyle{.fontSize = 36.5,
                               .textColor = "red",
                               .strokeColor = "black",
                               .strokeWidth = 2,
                               .fontName = "DejaVu Sans",
                               .boxWidth = 0.96};
    EXPECT_EQ(TextRenderCache::cacheKey(clip, {99.0, 41.0}),
              id + "|Hello|36.5|red|black|2.0|DejaVu Sans|0.96|98x40");

    for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 1e300}) {
        EXPECT_EQ(TextRenderCache::cacheKey(clip, {bad, 60.0}), std::nullopt);
        EXPECT_EQ(TextRenderCache::cacheKey(clip, {200.0, bad}), std::nullopt);
    }
}

TEST(TextRenderCache, DrawsOncePerKeyAtTwiceTheBox) {
    TextRenderCache cache;
    const Clip clip = smallTextClip("Hello");

    const std::optional<QImage> image = cache.image(clip, {200.0, 60.0});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(400, 120));
    EXPECT_EQ(image->devicePixelRatio(), 2.0);
    EXPECT_EQ(image->deviceIndependentSize(), QSizeF(200.0, 60.0));
    EXPECT_TRUE(hasInk(*image));
    EXPECT_EQ(qAlpha(image->pixel(399, 119)), 0);
    EXPECT_EQ(cache.totalCost(), 400u * 120u * 4u);

    // Within the even rounding the entry drawn first is returned unchanged.
    const std::optional<QImage> again = cache.image(clip, {201.9, 61.9});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->cacheKey(), image->cacheKey());
    EXPECT_EQ(cache.count(), 1u);

    // The same text and style in another clip is an entry of its own.
    ASSERT_TRUE(cache.image(smallTextClip("Hello"), {200.0, 60.0}));
    EXPECT_EQ(cache.count(), 2u);

    // A box nothing can be drawn in gives nothing and keeps nothing.
    EXPECT_EQ(cache.image(clip, {0.0, 60.0}), std::nullopt);
    EXPECT_EQ(cache.image(clip, {5000.0, 60.0}), std::nullopt);
    EXPECT_EQ(cache.count(), 2u);

    // The images outlive the entries they came from.
    cache.removeAllObjects();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_TRUE(hasInk(*image));
    const std::optional<QImage> redrawn = cache.image(clip, {200.0, 60.0});
    ASSERT_TRUE(redrawn);
    EXPECT_NE(redrawn->cacheKey(), image->cacheKey());
}

TEST(TextRenderCache, DrawsInTheStyleItIsGivenAsAnEntryOfItsOwn) {
    TextRenderCache cache;
    const Clip clip = smallTextClip("Hello");
    TextStyle larger = *clip.textStyle;
    larger.fontSize = 40;
    larger.textColor = "red";
    EXPECT_EQ(TextRenderCache::cacheKey(clip, larger, {200.0, 60.0}),
              clip.id.string() + "|Hello|40.0|red|white|0.0||0.0|200x60");

    const std::optional<QImage> stored = cache.image(clip, {200.0, 60.0});
    const std::optional<QImage> drawn = cache.image(clip, larger, {200.0, 60.0});
    ASSERT_TRUE(stored && drawn);
    EXPECT_EQ(cache.count(), 2u);
    // The given style's colour and size, not the clip's own.
    int red = 0;
    int inkDrawn = 0;
    int inkStored = 0;
    for (int y = 0; y < drawn->height(); ++y) {
        for (int x = 0; x < drawn->width(); ++x) {
            const QRgb pixel = drawn->pixel(x, y);
            inkDrawn += qAlpha(pixel) > 0;
            red += qAlpha(pixel) == 255 && qRed(pixel) == 255 && qGreen(pixel) == 0;
            inkStored += qAlpha(stored->pixel(x, y)) > 0;
        }
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(inkDrawn, 2 * inkStored);
    // The stored style through the overload is the plain look-up.
    EXPECT_EQ(cache.image(clip, *clip.textStyle, {200.0, 60.0})->cacheKey(), stored->cacheKey());
}
