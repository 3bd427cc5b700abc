#include "platform/image/Compositing.h"
#include "TestPixels.h"
#include "platform/image/CanvasSpace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>

using namespace vexel::image;
using namespace vexel::image::test;
using vexel::WorkerPool;
using vexel::media::Affine;
using vexel::media::PixelBuffer;
using vexel::media::Rect;

namespace {

constexpr Bgra kClear{0, 0, 0, 0};
constexpr Bgra kRed{0, 0, 255, 255};
constexpr Bgra kBlue{255, 0, 0, 255};

// Premultiplied source-over in whole numbers, exactly rounded (x / 255 is never
// half-way between two integers).
Bgra over(Bgra s, Bgra d) {
    Bgra out{};
    for (int i = 0; i < 4; ++i) {
        int x = d[i] * (255 - s[3]);
        out[i] = std::min(255, s[i] + (2 * x + 255) / 510);
    }
    return out;
}

PixelBuffer copyOf(const PixelBuffer& buffer) {
    return makeBuffer(buffer.width(), buffer.height(),
                      [&](int x, int row) { return pixelAt(buffer, x, row); });
}

void expectPixels(const PixelBuffer& actual, const std::function<Bgra(int, int)>& expected,
                  const std::string& what) {
    for (int row = 0; row < actual.height(); ++row) {
        for (int x = 0; x < actual.width(); ++x) {
            ASSERT_EQ(pixelAt(actual, x, row), expected(x, row))
                << what << " at column " << x << ", row " << row;
        }
    }
}

} // namespace

TEST(Compositing, WholePixelPlacementIsExactSourceOver) {
    WorkerPool pool(2);
    const PixelBuffer background = noise(37, 23, 1);
    const PixelBuffer source = noise(37, 23, 2);
    // Moving right 5 and up 3 (y counts upwards) puts source row r on row r − 3.
    for (auto [dx, dy] : std::vector<std::pair<int, int>>{{0, 0}, {5, 3}, {-4, -7}}) {
        Picture moved = Picture(source).transformed(Affine::translation(dx, dy));
        // The source pixel that lands on (x, row), or clear.
        auto landing = [&](int x, int row) {
            int sx = x - dx;
            int sr = row + dy;
            return sx >= 0 && sx < 37 && sr >= 0 && sr < 23 ? pixelAt(source, sx, sr) : kClear;
        };
        PixelBuffer canvas = copyOf(background);
        compositeOver(canvas, moved, pool);
        expectPixels(
            canvas,
            [&](int x, int row) { return over(landing(x, row), pixelAt(background, x, row)); },
            "over, moved by " + std::to_string(dx) + ", " + std::to_string(dy));
        // Rendering into a used buffer overwrites all of it.
        PixelBuffer target = copyOf(background);
        renderInto(target, moved, pool);
        expectPixels(target, landing, "render into");
    }
}

TEST(Compositing, SamplesBilinearlyWithTransparencyOutside) {
    WorkerPool pool(0);
    // Half a pixel to the right: every canvas pixel falls between two sources.
    PixelBuffer pair = makeBuffer(2, 1, [](int x, int) -> Bgra {
        return x == 0 ? Bgra{0, 0, 200, 255} : Bgra{0, 0, 100, 255};
    });
    PixelBuffer canvas = PixelBuffer::create(4, 1);
    compositeOver(canvas, Picture(pair).transformed(Affine::translation(0.5, 0)), pool);
    EXPECT_EQ(pixelAt(canvas, 0, 0), (Bgra{0, 0, 100, 128}));
    EXPECT_EQ(pixelAt(canvas, 1, 0), (Bgra{0, 0, 150, 255}));
    EXPECT_EQ(pixelAt(canvas, 2, 0), (Bgra{0, 0, 50, 128}));
    EXPECT_EQ(pixelAt(canvas, 3, 0), kClear);

    // Up is towards row 0: a picture at the origin sits on the bottom row.
    PixelBuffer dot = solid(1, 1, kRed);
    PixelBuffer column = PixelBuffer::create(1, 3);
    compositeOver(column, Picture(dot), pool);
    compositeOver(column, Picture(dot).transformed(Affine::translation(0, 2)), pool);
    EXPECT_EQ(pixelAt(column, 0, 0), kRed);
    EXPECT_EQ(pixelAt(column, 0, 1), kClear);
    EXPECT_EQ(pixelAt(column, 0, 2), kRed);

    // Doubling a 2 x 2 checker: edges on pixel boundaries stay sharp (the
    // corners are whole pixels), inside the colours blend 5 : 3.
    PixelBuffer checker =
        makeBuffer(2, 2, [](int x, int row) { return (x + row) % 2 ? kBlue : kRed; });
    PixelBuffer big = PixelBuffer::create(5, 5);
    compositeOver(big, Picture(checker).transformed(Affine::scale(2, 2)), pool);
    EXPECT_EQ(pixelAt(big, 0, 4), kBlue); // the bottom-left source pixel
    EXPECT_EQ(pixelAt(big, 0, 1), kRed);
    EXPECT_EQ(pixelAt(big, 1, 2), (Bgra{96, 0, 159, 255}));
    EXPECT_EQ(pixelAt(big, 2, 2), (Bgra{159, 0, 96, 255}));
    EXPECT_EQ(pixelAt(big, 4, 0), kClear);
    EXPECT_EQ(pixelAt(big, 0, 0), kClear);

    // A picture turned 45 degrees has smooth edges: some pixels partly covered.
    PixelBuffer square = solid(20, 20, kRed);
    PixelBuffer turned = PixelBuffer::create(40, 40);
    compositeOver(turned,
                  Picture(square).transformed(Affine::translation(-10, -10)
                                                  .then(Affine::rotation(std::numbers::pi / 4))
                                                  .then(Affine::translation(20, 20))),
                  pool);
    int partial = 0;
    for (int x = 0; x < 40; ++x) {
        int alpha = pixelAt(turned, x, 20)[3];
        partial += alpha > 0 && alpha < 255;
    }
    EXPECT_EQ(pixelAt(turned, 20, 20), kRed);
    EXPECT_EQ(partial, 2);
}

TEST(Compositing, AlphaHalvesEveryPremultipliedByte) {
    WorkerPool pool(3);
    PixelBuffer source = noise(50, 30, 9);
    PixelBuffer out = PixelBuffer::create(50, 30);
    renderInto(out, Picture(source).withAlpha(0.5), pool);
    for (int row = 0; row < 30; ++row) {
        for (int x = 0; x < 50; ++x) {
            for (int i = 0; i < 4; ++i) {
                EXPECT_LE(std::abs(2 * pixelAt(out, x, row)[i] - pixelAt(source, x, row)[i]), 2);
            }
        }
    }
    // Alphas multiply; alpha 0 draws nothing.
    EXPECT_DOUBLE_EQ(Picture(source).withAlpha(0.5).withAlpha(0.4).alpha(), 0.2);
    PixelBuffer canvas = noise(50, 30, 10);
    PixelBuffer before = copyOf(canvas);
    compositeOver(canvas, Picture(source).withAlpha(0), pool);
    expectPixels(
        canvas, [&](int x, int row) { return pixelAt(before, x, row); }, "alpha 0");
}

TEST(Compositing, CropsKeepTheirRegionThroughLaterTransforms) {
    WorkerPool pool(2);
    PixelBuffer red = solid(8, 8, kRed);
    auto drawn = [&](const Picture& picture, int width, int height) {
        PixelBuffer canvas = PixelBuffer::create(width, height);
        compositeOver(canvas, picture, pool);
        return canvas;
    };
    auto expectRegion = [&](const PixelBuffer& canvas, int x0, int x1, int r0, int r1,
                            const std::string& what) {
        expectPixels(
            canvas,
            [&](int x, int row) {
                return x >= x0 && x < x1 && row >= r0 && row < r1 ? kRed : kClear;
            },
            what);
    };
    // A wipe keeping the left half: columns 0 to 3.
    expectRegion(drawn(Picture(red).cropped(Rect{{0, 0}, {4, 8}}), 8, 8), 0, 4, 0, 8, "wipe");
    // Crop, then halve: the kept part shrinks with the picture.
    expectRegion(
        drawn(Picture(red).cropped(Rect{{2, 0}, {4, 8}}).transformed(Affine::scale(0.5, 0.5)), 8,
              8),
        1, 3, 4, 8, "crop then scale");
    // Two crops intersect; a crop that misses leaves nothing.
    expectRegion(
        drawn(Picture(red).cropped(Rect{{0, 0}, {6, 6}}).cropped(Rect{{2, 2}, {6, 6}}), 8, 8), 2, 6,
        2, 6, "two crops");
    EXPECT_TRUE(Picture(red).cropped(Rect{{20, 0}, {4, 4}}).isEmpty());
    // Crop the left half of a 4 x 2 picture, then turn it a quarter
    // anticlockwise into a 2 x 4 canvas: the kept half ends up at the bottom.
    PixelBuffer wide = solid(4, 2, kRed);
    Picture turned =
        Picture(wide).cropped(Rect{{0, 0}, {2, 2}}).transformed(Affine{0, 1, -1, 0, 2, 0});
    expectRegion(drawn(turned, 2, 4), 0, 2, 2, 4, "crop then quarter turn");
    EXPECT_EQ(turned.extent(), (Rect{{0, 0}, {2, 2}}));
    // A second crop across the turned one is one more clip, not a merge.
    expectRegion(drawn(turned.cropped(Rect{{1, 0}, {1, 4}}), 2, 4), 1, 2, 2, 4, "turned, cropped");
}

TEST(Compositing, ExifOrientationsTurnThePictureUprightExactly) {
    WorkerPool pool(0);
    const int w = 3;
    const int h = 2;
    PixelBuffer stored = makeBuffer(w, h, [](int x, int row) {
        return Bgra{10 * x + row + 1, 0, 0, 255};
    });
    // Where each upright pixel comes from in the stored picture.
    std::vector<std::function<std::pair<int, int>(int, int)>> from{
        [](int x, int y) {
            return std::pair{x, y};
        },
        [&](int x, int y) {
            return std::pair{w - 1 - x, y};
        },
        [&](int x, int y) {
            return std::pair{w - 1 - x, h - 1 - y};
        },
        [&](int x, int y) {
            return std::pair{x, h - 1 - y};
        },
        [](int x, int y) {
            return std::pair{y, x};
        },
        [&](int x, int y) {
            return std::pair{y, h - 1 - x};
        },
        [&](int x, int y) {
            return std::pair{w - 1 - y, h - 1 - x};
        },
        [&](int x, int y) {
            return std::pair{w - 1 - y, x};
        },
    };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        Picture upright = Picture(stored).orientExif(orientation);
        EXPECT_EQ(upright.extent().origin, (vexel::media::Point{0, 0}));
        PixelBuffer out = render(upright, pool);
        bool turned = orientation >= 5;
        ASSERT_EQ(out.width(), turned ? h : w) << orientation;
        ASSERT_EQ(out.height(), turned ? w : h) << orientation;
        expectPixels(
            out,
            [&](int x, int row) {
                auto [sx, sr] = from[orientation - 1](x, row);
                return pixelAt(stored, sx, sr);
            },
            "orientation " + std::to_string(orientation));
    }
    // Orientation 6 (the portrait phone's) puts the stored top-left at the top right.
    EXPECT_EQ(pixelAt(render(Picture(stored).orientExif(6), pool), 1, 0), pixelAt(stored, 0, 0));
    // Unknown values change nothing.
    EXPECT_EQ(Picture(stored).orientExif(0).transform(), Affine::identity());
    EXPECT_EQ(Picture(stored).orientExif(9).transform(), Affine::identity());
}

TEST(Compositing, TopLeftGeometryKeepsTheTopLeftMarkAtTheTop) {
    WorkerPool pool(2);
    // A 4 x 2 frame marked at its top-left pixel.
    PixelBuffer frame =
        makeBuffer(4, 2, [](int x, int row) { return x == 0 && row == 0 ? kRed : kBlue; });
    auto drawn = [&](const Affine& topLeftFit, int width, int height) {
        PixelBuffer canvas = PixelBuffer::create(width, height);
        compositeOver(canvas,
                      Picture(frame).transformed(bottomLeftTransform(topLeftFit, 2, height)), pool);
        return canvas;
    };
    // Letterboxed into 8 x 8: doubled and moved 2 down. Each frame corner
    // shows its own pixel; the rows above and below stay clear.
    PixelBuffer letterboxed = drawn(Affine::scale(2, 2).then(Affine::translation(0, 2)), 8, 8);
    EXPECT_EQ(pixelAt(letterboxed, 0, 2), kRed);
    EXPECT_EQ(pixelAt(letterboxed, 0, 5), kBlue);
    EXPECT_EQ(pixelAt(letterboxed, 7, 2), kBlue);
    EXPECT_EQ(pixelAt(letterboxed, 0, 1), kClear);
    EXPECT_EQ(pixelAt(letterboxed, 0, 6), kClear);
    // A portrait phone frame: the preferred quarter turn (0, 1, −1, 0, h, 0)
    // shows the stored top-left at the top right; doubled into 4 x 8.
    PixelBuffer portrait = drawn(Affine{0, 1, -1, 0, 2, 0}.then(Affine::scale(2, 2)), 4, 8);
    EXPECT_EQ(pixelAt(portrait, 3, 0), kRed);
    EXPECT_EQ(pixelAt(portrait, 0, 0), kBlue);
    EXPECT_EQ(pixelAt(portrait, 3, 7), kBlue);
    EXPECT_EQ(pixelAt(portrait, 0, 7), kBlue);
    EXPECT_EQ(flipVertical(8).then(flipVertical(8)), Affine::identity());
    EXPECT_EQ(bottomLeftRect(Rect{{1, 0}, {2, 3}}, 8), (Rect{{1, 5}, {2, 3}}));
}

TEST(Compositing, BandsAndRunsDoNotChangeTheResult) {
    // Turned, scaled, coloured, faded and cropped; larger than one run of pixels.
    PixelBuffer source = noise(301, 61, 4);
    PixelBuffer background = noise(320, 90, 5);
    Affine centred = Affine::translation(-150.5, -30.5)
                         .then(Affine::rotation(0.3))
                         .then(Affine::scale(1.1, 0.9))
                         .then(Affine::translation(160, 45));
    Picture picture = Picture(source)
                          .transformed(centred)
                          .colorControls(0.1, 1.2, 0.8)
                          .sepia(0.6)
                          .withAlpha(0.8)
                          .cropped(Rect{{10, 5}, {290, 70}});
    WorkerPool none(0);
    WorkerPool some(3);
    PixelBuffer alone = copyOf(background);
    PixelBuffer shared = copyOf(background);
    compositeOver(alone, picture, none);
    compositeOver(shared, picture, some);
    expectPixels(
        shared, [&](int x, int row) { return pixelAt(alone, x, row); }, "3 threads");
    int changed = 0;
    for (int row = 0; row < 90; ++row) {
        for (int x = 0; x < 320; ++x) {
            changed += pixelAt(alone, x, row) != pixelAt(background, x, row);
        }
    }
    EXPECT_GT(changed, 290 * 60 / 2);
}

TEST(Compositing, EmptyPicturesAndBadInput) {
    WorkerPool pool(0);
    PixelBuffer red = solid(4, 4, kRed);
    for (const Picture& empty :
         {Picture(red).transformed(Affine::scale(0, 1)), Picture(red).cropped(Rect{{1, 1}, {0, 2}}),
          Picture(red).withAlpha(0)}) {
        EXPECT_TRUE(empty.isEmpty());
        EXPECT_TRUE(render(empty, pool).isNull());
    }
    // Empty or too small to show: over leaves the canvas, render clears it.
    for (const Picture& invisible :
         {Picture(red).withAlpha(0), Picture(red).transformed(Affine::scale(1e-9, 1e-12))}) {
        PixelBuffer canvas = solid(4, 4, kBlue);
        compositeOver(canvas, invisible, pool);
        expectPixels(
            canvas, [](int, int) { return kBlue; }, "over");
        renderInto(canvas, invisible, pool);
        expectPixels(
            canvas, [](int, int) { return kClear; }, "rendered");
    }
    // Render keeps whole pixels of the extent, rounded out.
    Picture moved = Picture(red).transformed(Affine::translation(2.5, -1));
    EXPECT_EQ(moved.extent(), (Rect{{2.5, -1}, {4, 4}}));
    PixelBuffer out = render(moved, pool);
    EXPECT_EQ(out.width(), 5);
    EXPECT_EQ(out.height(), 4);
    EXPECT_THROW(Picture{PixelBuffer()}, std::invalid_argument);
    EXPECT_THROW(Picture(red).transformed(Affine::translation(NAN, 0)), std::invalid_argument);
    EXPECT_THROW(Picture(red).cropped(Rect{{0, 0}, {INFINITY, 1}}), std::invalid_argument);
    EXPECT_THROW(Picture(red).withAlpha(NAN), std::invalid_argument);
    Picture full = Picture(red).noir().noir().noir().noir();
    EXPECT_THROW(full.noir(), std::length_error);
}
