#include "domain/usecases/TrackOverlap.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

Track trackOf(std::vector<std::pair<double, double>> ranges) {
    std::vector<Clip> clips;
    for (const auto& [start, duration] : ranges) {
        clips.push_back(makeClip(start, duration));
    }
    return makeTrack(TrackType::video, "Video 1", std::move(clips));
}

} // namespace

TEST(TrackOverlap, ComparesNeighboursInTimeOrderWithATolerance) {
    EXPECT_FALSE(hasInternalOverlap(trackOf({})));
    EXPECT_FALSE(hasInternalOverlap(trackOf({{0, 5}})));
    // Stored order is not time order.
    EXPECT_FALSE(hasInternalOverlap(trackOf({{10, 5}, {0, 5}, {5, 5}})));
    EXPECT_TRUE(hasInternalOverlap(trackOf({{10, 5}, {0, 5}, {4.5, 5}})));
    EXPECT_FALSE(hasInternalOverlap(trackOf({{5 - 1e-10, 5}, {0, 5}})));
    EXPECT_TRUE(hasInternalOverlap(trackOf({{5 - 1e-8, 5}, {0, 5}})));
    // Equal starts overlap whatever their order.
    EXPECT_TRUE(hasInternalOverlap(trackOf({{3, 1}, {3, 2}})));
    // Also when the first is too short to move its end past its start, which
    // the tolerance alone would let through.
    EXPECT_TRUE(hasInternalOverlap(trackOf({{20.5, 4.3e-124}, {20.5, 4.5}})));
    EXPECT_TRUE(hasInternalOverlap(trackOf({{20.5, 4.5}, {20.5, 0}})));
    // A NaN finds no overlap and does not disturb the others.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(hasInternalOverlap(trackOf({{nan, 5}, {0, 5}, {5, 1}})));
    EXPECT_TRUE(hasInternalOverlap(trackOf({{0, 5}, {nan, 1}, {4, 1}})));
}

TEST(TrackOverlap, ProjectCheckLooksAtEachTrackAlone) {
    const Project separate{{trackOf({{0, 5}}), trackOf({{2, 5}})}, 100};
    EXPECT_NO_THROW(checkNoInternalOverlap(separate));
    const Project clash{{trackOf({{0, 5}}), trackOf({{0, 5}, {2, 5}})}, 100};
    expectEditError([&] { checkNoInternalOverlap(clash); }, EditError::clipOverlap());
}
