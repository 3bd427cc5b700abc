#include "platform/playback/detail/FrameCache.h"

#include <gtest/gtest.h>

using namespace vexel::media;
using vexel::playback::detail::FrameCache;

namespace {

// A frame of 64 x 16 pixels: 4096 bytes, rows being a multiple of 64 bytes.
VideoFrame frame(std::int64_t n) {
    return VideoFrame{PixelBuffer::create(64, 16), MediaTime(n, 30), MediaTime(1, 30)};
}

std::optional<std::int64_t> index(const std::optional<VideoFrame>& frame) {
    if (!frame) {
        return std::nullopt;
    }
    return frame->time.value() * 30 / frame->time.timescale();
}

} // namespace

TEST(FrameCacheTest, KeepsWithinItsBoundLettingTheLeastRecentlyUsedGo) {
    const std::size_t size = frame(0).buffer.byteCount();
    ASSERT_EQ(size, 4096u);
    FrameCache cache(3 * size + size / 2);

    for (std::int64_t n : {10, 20, 30}) {
        cache.insert(n, frame(n));
    }
    EXPECT_EQ(cache.count(), 3u);
    EXPECT_EQ(cache.bytes(), 3 * size);
    // Used last, 10 stays when 40 comes; 20, used least recently, goes.
    EXPECT_EQ(index(cache.find(10)), 10);
    cache.insert(40, frame(40));
    EXPECT_FALSE(cache.contains(20));
    EXPECT_TRUE(cache.contains(10));
    EXPECT_TRUE(cache.contains(30));
    EXPECT_LE(cache.bytes(), cache.maxBytes());

    // Keeping a frame again replaces it without counting it twice.
    cache.insert(30, frame(30));
    EXPECT_EQ(cache.count(), 3u);
    EXPECT_EQ(cache.bytes(), 3 * size);

    // The nearest within a range, the earlier of two as near, one nearer but
    // outside the range not taken; a look-up counts as a use.
    struct Case {
        std::int64_t at;
        std::int64_t low;
        std::int64_t high;
        std::optional<std::int64_t> found;
    };
    const Case cases[] = {
        {38, 30, 38, 30},           {32, 31, 45, 40}, {12, 7, 17, 10},
        {35, 30, 40, 30},           {25, 20, 30, 30}, {20, 10, 30, 10},
        {20, 11, 29, std::nullopt}, {50, 40, 60, 40}, {0, -9, 9, std::nullopt},
        {40, 40, 40, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        EXPECT_EQ(index(cache.nearest(c.at, c.low, c.high)), c.found);
    }
    // 10 and then 40 were used after 30, which goes next.
    cache.insert(50, frame(50));
    EXPECT_FALSE(cache.contains(30));
    EXPECT_EQ(cache.count(), 3u);

    // A frame larger than the whole bound is not kept, and drives nothing out.
    cache.insert(60, VideoFrame{PixelBuffer::create(64, 64), MediaTime(2, 1), MediaTime(1, 30)});
    EXPECT_FALSE(cache.contains(60));
    EXPECT_EQ(cache.count(), 3u);

    cache.clear();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.bytes(), 0u);
    EXPECT_FALSE(cache.find(10).has_value());
}
