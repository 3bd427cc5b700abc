#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace vexel::media;
using vexel::testing::TemporaryFolder;
using vexel::testing::testFrameLevel;

// A reader that starts within a key-frame interval drops frames nothing needs
// on its way there; the frame showing at the start must never be one of them.
// It stops decoding where its range ends, holding back what shows after it:
// every frame within the range still comes, showing until the next one.
TEST(AssetReaderSeek, EveryRangeGivesTheFramesShowingWithinIt) {
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
    for (int k : {44, 59, 60, 87}) {
        starts.push_back(MediaTime(k, 30));
    }
    for (int length : {1, 3}) {
        for (const MediaTime& start : starts) {
            const MediaTimeRange range{start, MediaTime(length, 30)};
            SCOPED_TRACE(start.description() + " for " + std::to_string(length));
            const auto frameAt = [](const MediaTime& time) {
                return static_cast<int>(time.value() * 30 / time.timescale());
            };
            // The frame showing at the start to the one showing just before the end.
            const int first = frameAt(start);
            const int last = std::min(frameAt(range.end() - MediaTime(1, 3000)), 89);
            AssetReader reader(asset, track, {.timeRange = range});
            ASSERT_TRUE(reader.startReading());
            for (int k = first; k <= last; ++k) {
                std::optional<VideoFrame> frame = reader.copyNextVideoFrame();
                ASSERT_TRUE(frame.has_value()) << k;
                EXPECT_EQ(frame->time, MediaTime(k, 30));
                EXPECT_EQ(frame->duration, MediaTime(1, 30)) << k;
                // Neighbouring frames are 4 levels apart; coding moves a level by 1.
                EXPECT_NEAR(frame->buffer.row(120)[4 * 80 + 1], testFrameLevel(k), 2);
            }
            EXPECT_FALSE(reader.copyNextVideoFrame().has_value());
            EXPECT_EQ(reader.status(), AssetReader::Status::completed);
        }
    }
}
