#include "presentation/helpers/WaveformShape.h"

#include <gtest/gtest.h>

#include <vector>

using vexel::WaveformShape;
using Bar = WaveformShape::Bar;

TEST(WaveformShapeTest, OneCentredBarPerSampleHalfAPixelNarrowerThanItsSlot) {
    std::vector<float> samples(200, 0.5f);
    samples[1] = 0;
    samples[2] = 1;
    const std::vector<Bar> bars = WaveformShape::bars(samples, 200, 40);
    ASSERT_EQ(bars.size(), 200u);
    EXPECT_EQ(bars[0], (Bar{0, 10, 0.5, 20}));
    EXPECT_EQ(bars[1], (Bar{1, 20, 0.5, 0}));
    EXPECT_EQ(bars[2], (Bar{2, 0, 0.5, 40}));
    EXPECT_EQ(bars[199].x, 199);

    // Wider slots, and slots narrower than a pixel, whose bars overlap.
    EXPECT_EQ(WaveformShape::bars(samples, 1000, 40)[3], (Bar{15, 10, 4.5, 20}));
    EXPECT_EQ(WaveformShape::bars(samples, 50, 40)[4], (Bar{1, 10, 0.5, 20}));
    EXPECT_TRUE(WaveformShape::bars({}, 200, 40).empty());
}
