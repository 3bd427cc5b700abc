#include "presentation/cache/OverlayVisibilityCache.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

std::vector<std::string> names(const std::vector<Clip>& clips) {
    std::vector<std::string> result;
    for (const Clip& clip : clips) {
        result.push_back(clip.assetName);
    }
    return result;
}

Clip named(const std::string& name, double start, double duration) {
    return makeClip(start, duration, TrackType::text, name);
}

} // namespace

TEST(OverlayVisibilityCache, AnswersFromTheIntervalBetweenBoundaries) {
    const std::vector<Clip> clips{named("first", 0, 5), named("second", 3, 5)};
    struct Case {
        double time;
        int interval;
        std::vector<std::string> visible;
    };
    const std::vector<Case> cases{
        {4, 1, {"first", "second"}},
        {5, 2, {"second"}},
        {8, 4, {}},
        {-1, -1, {}},
        {0, 0, {"first"}},
        {3, 1, {"first", "second"}},
        {7.999, 2, {"second"}},
    };
    OverlayVisibilityCache cache;
    for (const Case& c : cases) {
        EXPECT_EQ(names(cache.visibleClips(clips, c.time)), c.visible) << c.time;
        EXPECT_EQ(cache.findIntervalIndex(c.time), c.interval) << c.time;
    }
    EXPECT_EQ(cache.boundaries(), (std::vector<double>{0, 3, 5, 8}));
}

TEST(OverlayVisibilityCache, FiltersOncePerIntervalAndAgainWhenTheClipsChange) {
    std::vector<Clip> clips{named("first", 0, 5), named("second", 3, 5)};
    OverlayVisibilityCache cache;
    EXPECT_EQ(names(cache.visibleClips(clips, 3.2)), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(cache.filterPassCount(), 1u);
    // Another time inside [3, 5) returns the stored list without filtering.
    EXPECT_EQ(names(cache.visibleClips(clips, 4.9)), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(cache.filterPassCount(), 1u);
    // Crossing into [5, 8) filters again.
    EXPECT_EQ(names(cache.visibleClips(clips, 5)), (std::vector<std::string>{"second"}));
    EXPECT_EQ(cache.filterPassCount(), 2u);

    // A new text with the same id and time range keeps the boundaries but is
    // filtered again, so the overlay shows the new text.
    clips[1].assetName = "renamed";
    EXPECT_EQ(names(cache.visibleClips(clips, 5.5)), (std::vector<std::string>{"renamed"}));
    EXPECT_EQ(cache.filterPassCount(), 3u);
    EXPECT_EQ(cache.boundaries(), (std::vector<double>{0, 3, 5, 8}));

    // A moved clip rebuilds the boundaries; a clip sharing a boundary adds it
    // once.
    clips[1].timeRange.startTime = 5;
    clips.push_back(named("third", 10, 2));
    EXPECT_EQ(names(cache.visibleClips(clips, 5.5)), (std::vector<std::string>{"renamed"}));
    EXPECT_EQ(cache.boundaries(), (std::vector<double>{0, 5, 10, 12}));
    EXPECT_EQ(cache.filterPassCount(), 4u);

    EXPECT_TRUE(cache.visibleClips({}, 5.5).empty());
    EXPECT_TRUE(cache.boundaries().empty());
    EXPECT_TRUE(cache.visibleClips({}, -3).empty());
}

TEST(OverlayVisibilityCache, ATimeThatIsNotANumberShowsNothingAndSpoilsNoInterval) {
    const std::vector<Clip> clips{named("first", 0, 5), named("second", 3, 5)};
    OverlayVisibilityCache cache;
    EXPECT_TRUE(cache.visibleClips(clips, std::numeric_limits<double>::quiet_NaN()).empty());
    EXPECT_EQ(names(cache.visibleClips(clips, 1)), (std::vector<std::string>{"first"}));
}
