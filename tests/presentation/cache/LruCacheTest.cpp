#include "presentation/cache/LruCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;

namespace {

using Cache = LruCache<std::string, int>;

std::vector<std::string> keysHeld(const Cache& cache, const std::vector<std::string>& candidates) {
    std::vector<std::string> held;
    for (const std::string& key : candidates) {
        if (cache.contains(key)) {
            held.push_back(key);
        }
    }
    return held;
}

} // namespace

TEST(LruCache, EvictsTheLeastRecentlyUsedWhenTheCountLimitIsPassed) {
    Cache cache(2, 0);
    cache.setObject("a", 1, 10);
    cache.setObject("b", 2, 10);
    // Looking "a" up makes "b" the least recently used.
    EXPECT_EQ(cache.object("a"), 1);
    cache.setObject("c", 3, 10);
    EXPECT_EQ(keysHeld(cache, {"a", "b", "c"}), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(cache.object("b"), std::nullopt);
    EXPECT_EQ(cache.count(), 2u);
    EXPECT_EQ(cache.totalCost(), 20u);
}

TEST(LruCache, EvictsUntilTheTotalCostFitsAndKeepsAnOversizedNewcomerAlone) {
    Cache cache(0, 100);
    cache.setObject("a", 1, 40);
    cache.setObject("b", 2, 40);
    cache.setObject("c", 3, 40);
    EXPECT_EQ(keysHeld(cache, {"a", "b", "c"}), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(cache.totalCost(), 80u);

    // Replacing an entry replaces its cost too.
    cache.setObject("b", 20, 10);
    EXPECT_EQ(cache.totalCost(), 50u);
    EXPECT_EQ(cache.object("b"), 20);

    // A value dearer than the whole limit pushes out everything else but
    // stays, so that it is not loaded again on every look-up.
    cache.setObject("huge", 4, 500);
    EXPECT_EQ(keysHeld(cache, {"b", "c", "huge"}), (std::vector<std::string>{"huge"}));
    EXPECT_EQ(cache.totalCost(), 500u);
    cache.setObject("d", 5, 1);
    EXPECT_EQ(keysHeld(cache, {"huge", "d"}), (std::vector<std::string>{"d"}));

    cache.removeAllObjects();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.totalCost(), 0u);
    EXPECT_EQ(cache.object("d"), std::nullopt);
}

TEST(LruCache, LimitsOfZeroHoldEverything) {
    Cache cache(0, 0);
    for (int n = 0; n < 1000; ++n) {
        cache.setObject(std::to_string(n), n, 1'000'000);
    }
    EXPECT_EQ(cache.count(), 1000u);
    EXPECT_EQ(cache.object("0"), 0);
}
