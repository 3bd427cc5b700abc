#include "presentation/cache/WaveformCache.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexel;

TEST(WaveformCache, SharesStoredPeaksByFileAtFourBytesAValue) {
    WaveformCache cache(2, 0);
    EXPECT_EQ(cache.samples("/music/a.wav"), nullptr);

    const auto stored = cache.store("/music/a.wav", std::vector<float>(200, 0.5f));
    EXPECT_EQ(cache.samples("/music/a.wav"), stored);
    EXPECT_EQ(stored->values().size(), 200u);
    EXPECT_EQ(cache.totalCost(), 800u);

    cache.store("/music/b.wav", {0.25f});
    cache.store("/music/c.wav", {0.75f});
    EXPECT_EQ(cache.samples("/music/a.wav"), nullptr);
    EXPECT_EQ(cache.count(), 2u);
    EXPECT_EQ(cache.totalCost(), 8u);
}
