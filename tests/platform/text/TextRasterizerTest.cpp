#include "platform/text/TextRasterizer.h"
#include "platform/text/FontResolver.h"
#include "support/TextInk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace vexel;
using namespace vexel::text;
using test::inkBands;

namespace {

constexpr Color kWhite{1, 1, 1, 1};
constexpr Color kRed{1, 0, 0, 1};
constexpr Color kBlack{0, 0, 0, 1};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Capitals only: no descender or accent reaches into a neighbouring line, so
// that every line is one band of ink.
constexpr const char* kThreeWords = "HELLO WIDE WORLD";

TextAttributes plain(double size, Color color = kWhite) {
    return {resolveFont(std::nullopt, size), color, std::nullopt};
}

} // namespace

TEST(TextRasterizer, MeasuresParagraphsAndWrappedLinesAlike) {
    const TextAttributes font = plain(48);
    const TextExtent one = measureText("HELLO", font, 1000);
    ASSERT_GT(one.width, 0);
    const double line = one.height;
    ASSERT_GE(line, 48);
    const double word = measureText("WIDE", font, 1000).width;

    struct Case {
        std::string text;
        double boxWidth;
        double lines;
    };
    const Case cases[] = {
        {"HELLO\nWORLD", 1000, 2},
        {"HELLO\r\nWORLD", 1000, 2},
        {"HELLO\rWORLD\u2029AGAIN", 1000, 3},
        {"HELLO\n", 1000, 1},
        {"HELLO\n\nWORLD", 1000, 3},
        {"\n", 1000, 1},
        // Each word fits the box alone, no two together.
        {kThreeWords, one.width + word / 2, 3},
        {"", 1000, 0},
    };
    for (const Case& c : cases) {
        const TextExtent extent = measureText(c.text, font, c.boxWidth);
        EXPECT_NEAR(extent.height, c.lines * line, 1e-9) << c.text;
        EXPECT_LE(extent.width, c.boxWidth) << c.text;
    }

    // A word wider than the box breaks inside itself.
    const TextExtent narrow = measureText("HELLO", font, one.width / 2);
    EXPECT_LE(narrow.width, one.width / 2);
    EXPECT_GE(narrow.height, 2 * line);

    for (double boxWidth : {0.0, -10.0, kNaN}) {
        EXPECT_EQ(measureText("HELLO", font, boxWidth), TextExtent{}) << boxWidth;
    }
    for (double size : {0.0, -12.0, kNaN, maxPointSize * 2}) {
        EXPECT_EQ(measureText("HELLO", plain(size), 1000), TextExtent{}) << size;
    }
    // An unbounded box lays out like a very wide one.
    EXPECT_EQ(measureText("HELLO", font, std::numeric_limits<double>::infinity()), one);
}

TEST(TextRasterizer, DrawsAtTwiceTheScaleWhereItBrokeAtOnce) {
    const TextAttributes font = plain(48);
    const double word = measureText("WIDE", font, 1000).width;
    const double boxWidth = measureText("HELLO", font, 1000).width + word / 2;
    const TextExtent extent = measureText(kThreeWords, font, boxWidth);

    const media::PixelBuffer once = rasterizeText(kThreeWords, font, boxWidth, extent.height, 1);
    const media::PixelBuffer twice = rasterizeText(kThreeWords, font, boxWidth, extent.height, 2);
    ASSERT_EQ(twice.width(), static_cast<int>(std::floor(2 * boxWidth)));
    ASSERT_EQ(twice.height(), static_cast<int>(std::floor(2 * extent.height)));

    const auto small = inkBands(once);
    const auto large = inkBands(twice);
    ASSERT_EQ(small.size(), 3u);
    ASSERT_EQ(large.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        // Anti-aliasing may add or take a pixel at either scale.
        EXPECT_NEAR(large[i].top, 2 * small[i].top, 3) << i;
        EXPECT_NEAR(large[i].bottom, 2 * small[i].bottom, 3) << i;
        EXPECT_NEAR(large[i].left, 2 * small[i].left, 3) << i;
        EXPECT_NEAR(large[i].right, 2 * small[i].right, 3) << i;
    }
}

TEST(TextRasterizer, PaintsPremultipliedGlyphsOnTransparency) {
    const media::PixelBuffer red = rasterizeText("HELLO", plain(40, kRed), 200, 60, 2);
    ASSERT_EQ(red.width(), 400);
    ASSERT_EQ(red.height(), 120);
    int opaque = 0;
    for (int y = 0; y < red.height(); ++y) {
        for (int x = 0; x < red.width(); ++x) {
            const std::uint8_t* p = red.row(y) + x * 4;
            // B, G, R, A: pure red with its alpha premultiplied in.
            ASSERT_EQ(p[0], 0);
            ASSERT_EQ(p[1], 0);
            ASSERT_EQ(p[2], p[3]);
            opaque += p[3] == 255;
        }
    }
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(test::alphaAt(red, 399, 0), 0);
    EXPECT_EQ(test::alphaAt(red, 399, 119), 0);
    EXPECT_EQ(test::alphaAt(red, 0, 119), 0);

    // A black outline over white glyphs: fully opaque pixels of both.
    TextAttributes outlined = plain(40);
    outlined.stroke = Stroke{kBlack, 2};
    const media::PixelBuffer both = rasterizeText("HELLO", outlined, 200, 60, 2);
    bool black = false;
    bool white = false;
    for (int y = 0; y < both.height(); ++y) {
        for (int x = 0; x < both.width(); ++x) {
            const std::uint8_t* p = both.row(y) + x * 4;
            black |= p[3] == 255 && p[2] == 0;
            white |= p[3] == 255 && p[2] == 255;
        }
    }
    EXPECT_TRUE(black);
    EXPECT_TRUE(white);
}

TEST(TextRasterizer, AlignsEachParagraphAtTheStartOfItsDirection) {
    const media::PixelBuffer picture =
        rasterizeText("\u05e9\u05dc\u05d5\u05dd\nHELLO", plain(30), 400, 120, 1);
    const auto bands = inkBands(picture);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_GT(bands[0].left, 200);
    EXPECT_GE(bands[0].right, 395);
    EXPECT_LE(bands[1].left, 5);
    EXPECT_LT(bands[1].right, 200);
}

TEST(TextRasterizer, LeavesOutLinesThatDoNotWhollyFit) {
    const TextAttributes font = plain(48);
    const double line = measureText("HELLO", font, 1000).height;
    EXPECT_EQ(inkBands(rasterizeText("HELLO\nWIDE\nWORLD", font, 400, 2.5 * line, 2)).size(), 2u);
    EXPECT_EQ(inkBands(rasterizeText("HELLO\nWIDE\nWORLD", font, 400, 3 * line, 2)).size(), 3u);
    const media::PixelBuffer tooLow = rasterizeText("HELLO", font, 400, line / 2, 2);
    ASSERT_FALSE(tooLow.isNull());
    EXPECT_FALSE(test::hasInk(tooLow));
}

TEST(TextRasterizer, RefusesPicturesOutsideTheBufferLimits) {
    const TextAttributes font = plain(20);
    EXPECT_TRUE(rasterizeText("HI", font, 100, 100, 0).isNull());
    EXPECT_TRUE(rasterizeText("HI", font, 100, 100, kNaN).isNull());
    EXPECT_TRUE(rasterizeText("HI", font, 0.4, 100, 2).isNull());
    EXPECT_TRUE(rasterizeText("HI", font, 8192.5, 100, 2).isNull());
    const media::PixelBuffer smallest = rasterizeText("HI", font, 0.5, 0.5, 2);
    EXPECT_EQ(smallest.width(), 1);
    EXPECT_EQ(smallest.height(), 1);
}

TEST(TextRasterizer, LaysOutALongTextOnlyAsFarAsItCanShow) {
    const TextAttributes font = plain(12);
    const double line = measureText("HELLO", font, 1000).height;
    const double hello = measureText("HELLO", font, 1000).width;

    // Lines from the height limit on are neither laid out nor measured, even
    // a wider one.
    std::string lines;
    for (int i = 0; i < 40; ++i) {
        lines += "HELLO\n";
    }
    lines += "HELLO WIDE WORLD";
    const TextExtent all = measureText(lines, font, 1000);
    EXPECT_NEAR(all.height, 41 * line, 1e-6);
    EXPECT_GT(all.width, hello);
    const TextExtent top = measureText(lines, font, 1000, 5.5 * line);
    EXPECT_NEAR(top.height, 6 * line, 1e-6);
    EXPECT_EQ(top.width, hello);

    // Of a text far longer than any box shows, only the beginning is laid
    // out (a text of millions of characters took minutes), here a text whose
    // words fill a line each.
    std::string words;
    while (words.size() < 16 * maxLaidOutBytes) {
        words += "HELLO ";
    }
    const TextExtent beginning = measureText(words.substr(0, maxLaidOutBytes), font, hello * 1.5);
    const TextExtent whole = measureText(words, font, hello * 1.5);
    EXPECT_NEAR(whole.height, beginning.height, line);
    EXPECT_EQ(whole.width, beginning.width);

    // Characters of several bytes count by their bytes, and the cut, which
    // falls inside one here, leaves it out whole.
    const std::string wide = "\xE2\x80\x94"; // an em dash, three bytes
    std::string dashes = "AB";
    while (dashes.size() < 2 * maxLaidOutBytes) {
        dashes += wide;
    }
    const double dash = measureText(wide, font, 1000).width;
    const TextExtent cut = measureText(dashes, font, 1e6);
    EXPECT_NEAR(cut.height, line, 1e-6);
    const double dashesShown = std::round((cut.width - measureText("AB", font, 1000).width) / dash);
    EXPECT_LE(dashesShown, double(maxLaidOutBytes) / 3);
    EXPECT_GT(dashesShown, double(maxLaidOutBytes) / 3 - 3);
}
