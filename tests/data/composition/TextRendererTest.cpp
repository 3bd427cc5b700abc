#include "data/composition/TextRenderer.h"
#include "support/TextInk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <limits>
#include <string>
#include <vector>

using namespace vexel;
using test::inkBands;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TextStyle style(double fontSize = 48) {
    TextStyle result;
    result.fontSize = fontSize;
    return result;
}

bool isWhole(double value) {
    return std::floor(value) == value;
}

// Every pixel with ink has red, green and blue at its alpha: white.
bool allInkIsWhite(const media::PixelBuffer& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint8_t* p = picture.row(y) + x * 4;
            if (p[0] != p[3] || p[1] != p[3] || p[2] != p[3]) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(TextRenderer, MeasuresWholeBoxesOfAtMost2048Points) {
    for (double boxWidth : {0.0, -1.0, kNaN, -kInfinity}) {
        EXPECT_EQ(TextRenderer::measureTextSize("Hello", style(), boxWidth), (media::Size{0, 0}));
        EXPECT_EQ(TextRenderer::measureTextSize("", style(), boxWidth), (media::Size{0, 0}));
    }
    // Sizes no text can be drawn at measure nothing either.
    for (double fontSize : {0.0, -5.0, 1e9}) {
        EXPECT_EQ(TextRenderer::measureTextSize("Hello", style(fontSize), 500),
                  (media::Size{0, 0}));
    }

    const media::Size line = TextRenderer::measureTextSize("HELLO", style(), 1000);
    EXPECT_TRUE(isWhole(line.width) && isWhole(line.height));
    // One line is at least as high as the font is large, plus 0.3 of its size.
    EXPECT_GE(line.height, 48 + 0.3 * 48);
    EXPECT_LT(line.height, 2 * 48 + 0.3 * 48);

    // Twice the stroke width is added across, and nothing down.
    TextStyle stroked = style();
    stroked.strokeWidth = 5;
    const media::Size outlined = TextRenderer::measureTextSize("HELLO", stroked, 1000);
    EXPECT_EQ(outlined.width, line.width + 10);
    EXPECT_EQ(outlined.height, line.height);

    // A long line in a narrow box wraps, and grows downwards only.
    const std::string sentence = "The quick brown fox jumps over the lazy dog";
    const media::Size wide = TextRenderer::measureTextSize(sentence, style(), 2000);
    const media::Size narrow = TextRenderer::measureTextSize(sentence, style(), 300);
    EXPECT_LE(narrow.width, 300);
    EXPECT_GT(narrow.height, wide.height + 2 * 48);

    // However long the text, 2048 at most.
    std::string endless;
    for (int i = 0; i < 400; ++i) {
        endless += "many words ";
    }
    EXPECT_EQ(TextRenderer::measureTextSize(endless, style(), 1e9),
              (media::Size{2048, line.height}));
    const media::Size column = TextRenderer::measureTextSize(endless, style(), 400);
    EXPECT_LE(column.width, 400);
    EXPECT_EQ(column.height, 2048);
    TextStyle heavy = style();
    heavy.strokeWidth = 1e300;
    EXPECT_EQ(TextRenderer::measureTextSize("Hi", heavy, 400).width, 2048);
    heavy.strokeWidth = -1e300;
    EXPECT_EQ(TextRenderer::measureTextSize("Hi", heavy, 400).width, 0);
}

TEST(TextRenderer, RendersTwiceTheBoxUpTo4096Pixels) {
    const media::PixelBuffer small = TextRenderer::render("Hi", style(), {200, 60});
    ASSERT_EQ(small.width(), 400);
    ASSERT_EQ(small.height(), 120);
    EXPECT_TRUE(test::hasInk(small));
    for (auto [x, y] : {std::pair{0, 0}, {399, 0}, {0, 119}, {399, 119}}) {
        EXPECT_EQ(test::alphaAt(small, x, y), 0) << x << "," << y;
    }

    const media::PixelBuffer largest = TextRenderer::render("Hi", style(), {2048, 2048});
    EXPECT_EQ(largest.width(), 4096);
    EXPECT_EQ(largest.height(), 4096);
    const media::PixelBuffer fractional = TextRenderer::render("Hi", style(), {100.7, 30.2});
    EXPECT_EQ(fractional.width(), 201);
    EXPECT_EQ(fractional.height(), 60);

    const media::Size refused[] = {{2048.5, 100}, {100, 2049}, {0, 100},         {100, 0},
                                   {-5, 100},     {kNaN, 100}, {100, kInfinity}, {0.2, 0.2}};
    for (const media::Size& box : refused) {
        EXPECT_TRUE(TextRenderer::render("Hi", style(), box).isNull())
            << box.width << "x" << box.height;
    }
}

TEST(TextRenderer, DrawsEveryMeasuredLineInTheMeasuredBox) {
    // 48 points of a 450-high frame on a 1080-line one, in a box that holds
    // the first two words.
    TextStyle title = style(48.0 * 1080 / 450);
    const std::string text = "HELLO WIDE WORLD";
    const double boxWidth = TextRenderer::measureTextSize("HELLO WIDE", title, 1e4).width;
    const media::Size box = TextRenderer::measureTextSize(text, title, boxWidth);
    const media::PixelBuffer raster = TextRenderer::render(text, title, box);
    ASSERT_FALSE(raster.isNull());
    const auto bands = inkBands(raster);
    ASSERT_EQ(bands.size(), 2u);
    // The stroke allowance is empty here, so the widest line reaches the
    // measured width less its rounding and the glyph's side bearing.
    const int widest = std::max(bands[0].right, bands[1].right);
    EXPECT_GT(widest, raster.width() - 0.1 * title.fontSize * 2);
    EXPECT_LE(widest, raster.width());
    EXPECT_GE(raster.height() - bands[1].bottom, 0.3 * title.fontSize);
}

TEST(TextRenderer, DrawsStrokesOnlyWhenTheWidthIsPositive) {
    TextStyle plain = style(40);
    plain.strokeColor = "black";
    const media::PixelBuffer unstroked = TextRenderer::render("HELLO", plain, {200, 60});
    EXPECT_TRUE(allInkIsWhite(unstroked));
    TextStyle whiteStroke = plain;
    whiteStroke.strokeColor = "white";
    EXPECT_TRUE(test::samePixels(unstroked, TextRenderer::render("HELLO", whiteStroke, {200, 60})));
    TextStyle negative = plain;
    negative.strokeWidth = -3;
    EXPECT_TRUE(test::samePixels(unstroked, TextRenderer::render("HELLO", negative, {200, 60})));

    TextStyle stroked = plain;
    stroked.strokeWidth = 3;
    EXPECT_FALSE(allInkIsWhite(TextRenderer::render("HELLO", stroked, {200, 60})));

    // An outline wider than the whole box covers all of it.
    TextStyle heavy = plain;
    heavy.strokeWidth = 1e6;
    const media::PixelBuffer covered = TextRenderer::render("HELLO", heavy, {200, 60});
    for (int y = 0; y < covered.height(); ++y) {
        for (int x = 0; x < covered.width(); ++x) {
            ASSERT_EQ(test::alphaAt(covered, x, y), 255) << x << "," << y;
        }
    }
}

TEST(TextRenderer, DrawsAFontThatIsNotInstalledInTheSystemFont) {
    TextStyle missing = style();
    missing.fontName = "Not Installed Anywhere";
    TextStyle serif = style();
    serif.fontName = "dejavu SERIF";
    const media::PixelBuffer system = TextRenderer::render("Hello", style(), {300, 80});
    EXPECT_TRUE(test::samePixels(TextRenderer::render("Hello", missing, {300, 80}), system));
    EXPECT_FALSE(test::samePixels(TextRenderer::render("Hello", serif, {300, 80}), system));
}

TEST(TextRenderer, GivesTheSameRastersOnManyThreadsAtOnce) {
    struct Job {
        std::string text;
        TextStyle style;
    };
    std::vector<Job> jobs;
    for (const char* colour : {"red", "Yellow", "blue", "pink"}) {
        TextStyle s = style(36);
        s.textColor = colour;
        s.strokeColor = "black";
        s.strokeWidth = 2;
        s.fontName =
            jobs.size() % 2 == 0 ? std::optional<std::string>("DejaVu Serif") : std::nullopt;
        jobs.push_back({std::string("Title in ") + colour + "\nsecond line", s});
    }
    auto rasterOf = [](const Job& job) {
        const media::Size box = TextRenderer::measureTextSize(job.text, job.style, 600);
        return TextRenderer::render(job.text, job.style, box);
    };
    std::vector<media::PixelBuffer> expected;
    for (const Job& job : jobs) {
        expected.push_back(rasterOf(job));
    }

    std::vector<std::future<bool>> threads;
    for (int t = 0; t < 8; ++t) {
        threads.push_back(std::async(std::launch::async, [&, t] {
            bool same = true;
            for (int round = 0; round < 6; ++round) {
                const std::size_t i = static_cast<std::size_t>(t + round) % jobs.size();
                same = same && test::samePixels(rasterOf(jobs[i]), expected[i]);
            }
            return same;
        }));
    }
    for (auto& thread : threads) {
        EXPECT_TRUE(thread.get());
    }
}
