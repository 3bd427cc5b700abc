#include "presentation/views/timeline/BarsInView.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using Columns = BarsInView::Columns;
using Sliver = BarsInView::Sliver;

namespace {

// What a lane shows, worked out column by column the slow way: in each
// column of sight (and of the bar's width around it) the latest clip whose
// drawn bar covers it is on top; a clip on top in 4 columns or more, or
// pinned, has a bar; the other columns with a clip on top are slivers.
BarsInView::Layout reference(const std::vector<Clip>& clips, double maxDuration, double width,
                             Columns sight, const std::vector<std::size_t>& pinned) {
    BarsInView::Layout expected;
    if (sight.width() == 0 || clips.empty()) {
        return expected;
    }
    const Columns looked{sight.left - 4, sight.right + 4};
    const double span = maxDuration > 0 ? maxDuration : 1;
    std::vector<Columns> drawn;
    for (const Clip& clip : clips) {
        drawn.push_back(
            BarsInView::columnsOf(width * clip.timeRange.startTime / span,
                                  std::max(width * clip.timeRange.duration / span, 4.0)));
    }
    expected.sight = looked;
    std::vector<int> onTop(clips.size(), 0);
    for (int x = looked.left; x < looked.right; ++x) {
        std::int32_t top = -1;
        for (std::size_t i = 0; i < clips.size(); ++i) {
            if (drawn[i].left <= x && x < drawn[i].right) {
                top = static_cast<std::int32_t>(i);
            }
        }
        expected.topClip.push_back(top);
        if (top >= 0) {
            ++onTop[static_cast<std::size_t>(top)];
        }
    }
    const auto isPinned = [&](std::size_t i) {
        return std::find(pinned.begin(), pinned.end(), i) != pinned.end();
    };
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const bool reaches = drawn[i].right > looked.left && drawn[i].left < looked.right;
        if (onTop[i] >= 4 || (isPinned(i) && reaches)) {
            expected.bars.push_back(i);
        }
    }
    std::int32_t last = -1;
    for (int x = looked.left; x < looked.right; ++x) {
        const std::int32_t top = expected.topClip[static_cast<std::size_t>(x - looked.left)];
        const bool sliver = top >= 0 && onTop[static_cast<std::size_t>(top)] < 4 &&
                            !isPinned(static_cast<std::size_t>(top));
        if (!sliver) {
            last = -1;
            continue;
        }
        if (top == last) {
            expected.slivers.back().shown.right = x + 1;
        } else {
            expected.slivers.push_back(
                {static_cast<std::size_t>(top), {x, x + 1}, drawn[static_cast<std::size_t>(top)]});
        }
        last = top;
    }
    return expected;
}

} // namespace

TEST(BarsInViewTest, OnlyClipsInSightShowingFourColumnsGetBarsTheRestAreSlivers) {
    // 100 s over 1000 px: 10 px a second.
    struct Case {
        std::string name;
        std::vector<Clip> clips;
        Columns sight;
        std::vector<std::size_t> pinned;
        std::vector<std::size_t> bars;
        std::vector<Sliver> slivers;
    };
    const std::vector<Case> cases{
        {"clips side by side, one out of sight",
         {makeClip(0, 2), makeClip(5, 3), makeClip(60, 1)},
         {0, 500},
         {},
         {0, 1},
         {}},
        {"a bar cut by the edge of sight keeps its bar",
         {makeClip(49.8, 1)},
         {0, 500},
         {},
         {0},
         {}},
        {"crowded: each clip a column on from the last, the last one whole",
         {makeClip(10, 0.1), makeClip(10.1, 0.1), makeClip(10.2, 0.1), makeClip(10.3, 0.1)},
         {0, 1000},
         {},
         {3},
         {{0, {100, 101}, {100, 104}}, {1, {101, 102}, {101, 105}}, {2, {102, 103}, {102, 106}}}},
        {"crowded, the first of them selected",
         {makeClip(10, 0.1), makeClip(10.1, 0.1), makeClip(10.2, 0.1), makeClip(10.3, 0.1)},
         {0, 1000},
         {0},
         {0, 3},
         {{1, {101, 102}, {101, 105}}, {2, {102, 103}, {102, 106}}}},
        {"a later clip lies over an earlier one wholly",
         {makeClip(10, 2), makeClip(10, 2)},
         {0, 1000},
         {},
         {1},
         {}},
        {"an earlier clip under a later one, out of the columns it covers",
         {makeClip(0, 30), makeClip(10, 0.1), makeClip(10.2, 0.1)},
         {0, 1000},
         {},
         {0, 2},
         {{1, {100, 102}, {100, 104}}}},
        {"nothing in sight", {makeClip(0, 2), makeClip(5, 3)}, {0, 0}, {0}, {}, {}},
    };
    for (const Case& c : cases) {
        BarsInView lane;
        lane.setClips(c.clips);
        const BarsInView::Layout layout = lane.layout(100, 1000, c.sight, c.pinned);
        EXPECT_EQ(layout.bars, c.bars) << c.name;
        EXPECT_EQ(layout.slivers, c.slivers) << c.name;
        const BarsInView::Layout expected = reference(c.clips, 100, 1000, c.sight, c.pinned);
        EXPECT_EQ(layout.topClip, expected.topClip) << c.name;
    }
}

TEST(BarsInViewTest, AgreesWithEveryColumnWorkedOutOneByOne) {
    // Lanes of overlapping clips in any order, looked at whole and in parts,
    // zoomed from a pixel per clip to 40, some clips pinned.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> start(0, 60);
    std::uniform_real_distribution<double> length(0, 6);
    for (int round = 0; round < 60; ++round) {
        std::vector<Clip> clips;
        const int count = 1 + round * 3;
        for (int i = 0; i < count; ++i) {
            clips.push_back(makeClip(start(random), round % 4 == 0 ? 0.05 : length(random)));
        }
        BarsInView lane;
        lane.setClips(clips);
        const double width = 60.0 * (1 + round % 40);
        const int left = round % 3 == 0 ? 0 : static_cast<int>(width / 3);
        const Columns sight{left, left + 400};
        std::vector<std::size_t> pinned;
        if (round % 2 == 1) {
            pinned.push_back(static_cast<std::size_t>(round) % clips.size());
        }
        const BarsInView::Layout layout = lane.layout(66, width, sight, pinned);
        const BarsInView::Layout expected = reference(clips, 66, width, sight, pinned);
        ASSERT_EQ(layout.sight, expected.sight) << "round " << round;
        ASSERT_EQ(layout.topClip, expected.topClip) << "round " << round;
        ASSERT_EQ(layout.bars, expected.bars) << "round " << round;
        ASSERT_EQ(layout.slivers, expected.slivers) << "round " << round;
        for (int x = sight.left; x < sight.right; ++x) {
            const std::int32_t top = expected.topClip[static_cast<std::size_t>(x - sight.left + 4)];
            ASSERT_EQ(layout.clipAt(x),
                      top < 0 ? std::nullopt
                              : std::optional<std::size_t>(static_cast<std::size_t>(top)));
        }
    }
}
