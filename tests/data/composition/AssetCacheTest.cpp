#include "data/composition/AssetCache.h"
#include "platform/media/MediaError.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;

TEST(AssetCache, AFileIsProbedAgainOnlyWhenItChanges) {
    vexel::testing::TemporaryFolder folder;
    const auto path = folder / "clip.mp4";
    vexel::testing::writeTestMovie(
        path, {.width = 64, .height = 48, .frameRate = 10, .frameCount = 10, .hasAudio = false});
    AssetCache cache;
    EXPECT_EQ(cache.find(path), nullptr);
    auto first = cache.load(path);
    EXPECT_EQ(first->duration, MediaTime(1, 1));
    EXPECT_EQ(cache.load(path), first);
    EXPECT_EQ(cache.find(path), first);

    // Replaced by another movie under the same name.
    std::filesystem::remove(path);
    vexel::testing::writeTestMovie(
        path, {.width = 64, .height = 48, .frameRate = 10, .frameCount = 20, .hasAudio = false});
    EXPECT_EQ(cache.find(path), nullptr);
    auto second = cache.load(path);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->duration, MediaTime(2, 1));

    // Gone: an error, and found again when it is back.
    const auto moved = folder / "moved.mp4";
    std::filesystem::rename(path, moved);
    EXPECT_THROW(cache.load(path), media::MediaError);
    std::filesystem::rename(moved, path);
    EXPECT_EQ(cache.load(path)->duration, MediaTime(2, 1));
    std::filesystem::resize_file(path, 10);
    EXPECT_THROW(cache.load(path), media::MediaError);
}
