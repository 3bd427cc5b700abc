#include "data/composition/CarrierCache.h"
#include "data/media/BlackVideoGeneratorError.h"
#include "data/media/StagingFolder.h"
#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexel;
using media::MediaTime;
using vexel::test::namesIn;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace {

MediaTime videoEnd(const media::Asset& asset) {
    return asset.firstTrack(media::MediaType::video)->timeRange.end();
}

} // namespace

TEST(CarrierCache, GeneratedLengthsGrowByDoublingUpToTheLimit) {
    const std::pair<double, double> lengths[] = {
        {0.01, 10},   {10, 10},     {10.5, 20},   {500, 640}, {2000, 2560},
        {3000, 3600}, {3600, 3600}, {3601, 3601}, {0, 0},     {-1, -1}};
    for (const auto& [need, length] : lengths) {
        EXPECT_EQ(CarrierCache::generatedLength(need), length) << need;
    }
}

TEST(CarrierCache, ALongEnoughCarrierIsReusedAcrossBuildsAndCaches) {
    TemporaryFolder runtime;
    ScopedEnvironment xdg{"XDG_CACHE_HOME", runtime.path().string()};
    const media::Size size{64, 32};

    CarrierCache cache;
    auto first = cache.carrier(size, 6, 1);
    EXPECT_GE(videoEnd(*first), MediaTime(10, 1));
    EXPECT_EQ(first->firstTrack(media::MediaType::video)->naturalSize, size);
    EXPECT_EQ(cache.carrier(size, 9.5, 1), first);
    EXPECT_EQ(namesIn(stagingFolderPath()), std::vector<std::string>{"carrier_64x32_1fps_10s.mp4"});

    // Longer than any kept (the 10 s one shows its last frame until 11 s): a
    // new, longer one; the shortest that is long enough is taken after that.
    // Another frame rate or size is another carrier.
    EXPECT_EQ(cache.carrier(size, 11, 1), first);
    auto longer = cache.carrier(size, 12, 1);
    EXPECT_NE(longer, first);
    EXPECT_GE(videoEnd(*longer), MediaTime(20, 1));
    EXPECT_EQ(cache.carrier(size, 8, 1), first);
    EXPECT_NE(cache.carrier(size, 6, 2), first);
    EXPECT_NE(cache.carrier({32, 32}, 6, 1), first);
    EXPECT_EQ(
        namesIn(stagingFolderPath()),
        (std::vector<std::string>{"carrier_32x32_1fps_10s.mp4", "carrier_64x32_1fps_10s.mp4",
                                  "carrier_64x32_1fps_20s.mp4", "carrier_64x32_2fps_10s.mp4"}));

    // A new cache finds what is in the staging folder and writes nothing.
    CarrierCache later;
    EXPECT_EQ(later.carrier(size, 15, 1)->path, longer->path);
    EXPECT_EQ(namesIn(stagingFolderPath()).size(), 4u);

    // What the generator refuses is refused alike.
    const std::tuple<media::Size, double, int, BlackVideoGeneratorError::Kind> refused[] = {
        {size, 3600.5, 1, BlackVideoGeneratorError::Kind::invalidDuration},
        {size, 0, 1, BlackVideoGeneratorError::Kind::invalidDuration},
        {{0.9, 32}, 6, 1, BlackVideoGeneratorError::Kind::invalidSize},
        {{std::nan(""), 32}, 6, 1, BlackVideoGeneratorError::Kind::invalidSize},
        {size, 6, 31, BlackVideoGeneratorError::Kind::invalidFPS}};
    for (const auto& [badSize, duration, fps, kind] : refused) {
        try {
            later.carrier(badSize, duration, fps);
            ADD_FAILURE() << "no error for " << duration << " s at " << fps;
        } catch (const BlackVideoGeneratorError& error) {
            EXPECT_EQ(error.kind(), kind);
        }
    }
}
