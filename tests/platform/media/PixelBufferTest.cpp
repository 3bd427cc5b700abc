#include "platform/media/PixelBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

using vexel::media::PixelBuffer;
using vexel::media::PixelBufferPool;
using vexel::media::PixelBufferRecycler;

namespace {

bool allZero(const PixelBuffer& buffer) {
    return std::all_of(buffer.data(), buffer.data() + buffer.byteCount(),
                       [](std::uint8_t b) { return b == 0; });
}

} // namespace

TEST(PixelBuffer, NewBuffersAreZeroFilledWithAlignedRows) {
    PixelBuffer buffer = PixelBuffer::create(17, 3);
    EXPECT_EQ(buffer.width(), 17);
    EXPECT_EQ(buffer.height(), 3);
    EXPECT_GE(buffer.bytesPerRow(), 17u * 4);
    EXPECT_EQ(buffer.bytesPerRow() % 64, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % 64, 0u);
    EXPECT_TRUE(allZero(buffer));
    PixelBuffer copy = buffer;
    EXPECT_TRUE(copy.sharesPixelsWith(buffer));
    EXPECT_TRUE(PixelBuffer().isNull());
    for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {-4, 4}, {PixelBuffer::maxDimension + 1, 1}}) {
        EXPECT_THROW(PixelBuffer::create(w, h), std::invalid_argument);
        EXPECT_THROW(PixelBufferPool(w, h), std::invalid_argument);
    }
}

TEST(PixelBufferPool, ReusesReleasedPixelsAndClearsOnRequest) {
    PixelBufferPool pool(8, 8);
    std::uint8_t* first = nullptr;
    {
        PixelBuffer buffer = pool.makeBuffer();
        EXPECT_TRUE(allZero(buffer));
        std::fill(buffer.data(), buffer.data() + buffer.byteCount(), 0x7F);
        first = buffer.data();
    }
    PixelBuffer reused = pool.makeBufferForOverwrite();
    EXPECT_EQ(reused.data(), first);
    EXPECT_EQ(reused.data()[0], 0x7F);
    // Held buffers are never handed out twice.
    PixelBuffer other = pool.makeBuffer();
    EXPECT_NE(other.data(), reused.data());
    reused = PixelBuffer();
    PixelBuffer cleared = pool.makeBuffer();
    EXPECT_EQ(cleared.data(), first);
    EXPECT_TRUE(allZero(cleared));
}

TEST(PixelBufferPool, BuffersOutliveThePoolAndCrossThreads) {
    std::optional<PixelBufferPool> pool(std::in_place, 4, 4);
    PixelBuffer kept = pool->makeBuffer();
    pool.reset();
    kept.data()[0] = 1; // still valid
    kept = PixelBuffer();

    PixelBufferPool shared(64, 64, 4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 200; ++i) {
                PixelBuffer buffer = shared.makeBufferForOverwrite();
                buffer.data()[0] = static_cast<std::uint8_t>(i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
}

TEST(PixelBufferRecycler, ReusesTheLastReleasedBufferOfRecentSizesCleared) {
    PixelBufferRecycler recycler(2);
    auto released = [&](int width, int height) {
        PixelBuffer buffer = recycler.makeBuffer(width, height);
        std::memset(buffer.data(), 0x7F, buffer.byteCount());
        return buffer.data();
    };
    const std::uint8_t* first = released(300, 200);
    PixelBuffer again = recycler.makeBuffer(300, 200);
    EXPECT_EQ(again.data(), first);
    EXPECT_EQ(again.width(), 300);
    for (std::size_t i = 0; i < again.byteCount(); ++i) {
        ASSERT_EQ(again.data()[i], 0) << i;
    }
    // Another size has pixels of its own, and both sizes are kept.
    EXPECT_NE(released(64, 64), first);
    again = PixelBuffer();
    EXPECT_EQ(recycler.makeBuffer(300, 200).data(), first);
    EXPECT_THROW(recycler.makeBuffer(0, 10), std::invalid_argument);
}
