#include "presentation/viewmodels/WaveformLoader.h"

#include "support/RunEventsUntil.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

using namespace vexel;
using vexel::testing::runEventsUntil;

TEST(WaveformLoaderTest, AnswersHitsAtOnceAndRetriesAFileWhoseExtractionFailed) {
    WaveformCache cache;
    std::atomic<int> extractions = 0;
    std::atomic<bool> failing = true;
    WaveformLoader loader(cache, [&](const std::filesystem::path&, int buckets, std::stop_token) {
        ++extractions;
        if (failing) {
            throw std::runtime_error("no sound");
        }
        return std::vector<float>(static_cast<std::size_t>(buckets), 0.5f);
    });
    QSignalSpy loaded(&loader, &WaveformLoader::loaded);

    // Cached: at once, without an extraction.
    cache.store("/media/cached.wav", {0.25f});
    ASSERT_NE(loader.request("/media/cached.wav"), nullptr);
    EXPECT_EQ(loader.request("/media/cached.wav")->values(), std::vector<float>{0.25f});

    // A failure shows nothing and leaves the file to be asked for again.
    EXPECT_EQ(loader.request("/media/song.wav"), nullptr);
    ASSERT_TRUE(runEventsUntil([&] { return loader.loadingCount() == 0; }));
    EXPECT_EQ(loaded.count(), 0);
    EXPECT_EQ(cache.samples("/media/song.wav"), nullptr);

    failing = false;
    EXPECT_EQ(loader.request("/media/song.wav"), nullptr);
    ASSERT_TRUE(runEventsUntil([&] { return loaded.count() == 1; }));
    EXPECT_EQ(extractions, 2);
    EXPECT_EQ(loaded[0][0].value<std::filesystem::path>(), "/media/song.wav");
    const auto samples = loaded[0][1].value<std::shared_ptr<const WaveformSamples>>();
    ASSERT_NE(samples, nullptr);
    EXPECT_EQ(samples->values().size(), 200u);
    EXPECT_EQ(cache.samples("/media/song.wav"), samples);
    EXPECT_EQ(cache.totalCost(), 4u + 800u);
}
