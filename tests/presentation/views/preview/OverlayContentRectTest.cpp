#include "presentation/views/preview/OverlayContentRect.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;

TEST(OverlayContentRectTest, FitsTheVideoWholeAndCentredOrStandsInWithTheContainer) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        QSizeF video;
        QSizeF container;
        QRectF expected;
    };
    const Case cases[] = {
        {"landscape in a taller box", {1920, 1080}, {800, 600}, {0, 75, 800, 450}},
        {"portrait in a wider box", {1080, 1920}, {800, 600}, {231.25, 0, 337.5, 600}},
        {"the same shape", {1280, 720}, {1280, 720}, {0, 0, 1280, 720}},
        {"no video yet", {0, 0}, {800, 600}, {0, 0, 800, 600}},
        {"no video in a box of nothing", {0, 0}, {0.5, 0}, {0, 0, 1, 1}},
        {"a negative width", {-1920, 1080}, {800, 600}, {0, 0, 800, 600}},
        {"a side that is not a number", {nan, 1080}, {nan, 600}, {0, 0, 1, 600}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OverlayContentRect::videoContentRect(c.video, c.container), c.expected) << c.name;
    }

    // The overlays' rectangle: the container stands for a video of no size,
    // and otherwise it is the fitted one.
    EXPECT_EQ(OverlayContentRect::contentRect({0, 0}, {960, 400}), QRectF(0, 0, 960, 400));
    EXPECT_EQ(OverlayContentRect::contentRect({0, 1080}, {960, 400}), QRectF(0, 0, 960, 400));
    EXPECT_EQ(OverlayContentRect::contentRect({1920, 1080}, {960, 600}), QRectF(0, 30, 960, 540));
    EXPECT_EQ(OverlayContentRect::contentRect({0, 0}, {0, 0}), QRectF(0, 0, 1, 1));
}
