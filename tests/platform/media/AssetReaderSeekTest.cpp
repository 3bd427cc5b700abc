#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexel::media;
using vexel::testing::TemporaryFolder;
using vexel::testing::testFrameLevel;

// A reader that starts within a key-frame interval drops frames nothing needs
// on its way there; the frame showing at the start must never be one of them.
TEST(AssetReaderSeek, EveryStartGivesTheFrameShowingThere) {
    TemporaryFolder folder;
    vexel::testing::writeTestMovie(
        folder / "clip.mp4", {.frameCount = 90, .hasAudio = false, .maxKeyFrameInterval = 30});
    Asset asset = Asset::load(folder / "clip.mp4");
    const AssetTrack track = *asset.firstTrack(MediaType::video);
    // A moment into each frame of the second interval (most are B-frames, some
    // of which nothing refers to), and a few frames' own times.
    std::vector<MediaTime> starts;
    for (int k = 30; k < 60; ++k) {
        starts.push_back(MediaTime(k, 30) + MediaTime(1, 100));
    }
    for (int k : {44, 59, 60}) {
        starts.push_back(MediaTime(k, 30));
    }
    for (const MediaTime& start : starts) {
        SCOPED_TRACE(start.description());
        const int k = static_cast<int>(start.value() * 30 / start.timescale());
        AssetReader reader(asset, track, {.timeRange = MediaTimeRange{start, MediaTime(1, 30)}});
        ASSERT_TRUE(reader.startReading());
        std::optional<VideoFrame> frame = reader.copyNextVideoFrame();
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(frame->time, MediaTime(k, 30));
        // Neighbouring frames are 4 levels apart; coding moves a level by 1.
        EXPECT_NEAR(frame->buffer.row(120)[4 * 80 + 1], testFrameLevel(k), 2);
    }
}
