#include "platform/media/MutableComposition.h"
#include "platform/media/MediaError.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vexel::media;

namespace {

MediaTime seconds(std::int64_t s) {
    return MediaTime(s * 600, 600);
}

MediaTimeRange range(std::int64_t start, std::int64_t duration) {
    return {seconds(start), seconds(duration)};
}

// A probed file as the composition sees it: a 10 s video track 0 and a 10 s
// audio track 1. No file is needed to build compositions.
std::shared_ptr<const Asset> tenSecondAsset() {
    Asset asset;
    asset.path = "ten.mp4";
    asset.duration = seconds(10);
    AssetTrack video;
    video.trackID = 0;
    video.mediaType = MediaType::video;
    video.timeRange = range(0, 10);
    AssetTrack audio = video;
    audio.trackID = 1;
    audio.mediaType = MediaType::audio;
    asset.tracks = {video, audio};
    return std::make_shared<const Asset>(asset);
}

} // namespace

TEST(MutableComposition, InsertingLaterLeavesAnEmptyGapAndInsertingInsideMovesWhatFollows) {
    auto asset = tenSecondAsset();
    MutableComposition composition;
    CompositionTrack* track = composition.addTrack(MediaType::video);
    ASSERT_NE(track, nullptr);

    track->insertTimeRange(range(0, 4), asset, 0, seconds(3));
    EXPECT_EQ(composition.duration(), seconds(7));
    ASSERT_NE(track->segment(seconds(2)), nullptr);
    EXPECT_TRUE(track->segment(seconds(2))->isEmpty());
    EXPECT_EQ(track->segment(seconds(3))->sourceTime(seconds(5)), seconds(2));
    EXPECT_EQ(track->segment(seconds(7)), nullptr);
    EXPECT_EQ(track->segment(MediaTime(-1, 600)), nullptr);

    // 2 s from 6 s inserted at 5 s splits the first media segment; its second
    // half now starts at 7 s.
    track->insertTimeRange(range(6, 2), asset, 0, seconds(5));
    EXPECT_EQ(composition.duration(), seconds(9));
    EXPECT_EQ(track->segment(MediaTime(5 * 600 + 1, 600))->sourceTime(seconds(6)), seconds(7));
    EXPECT_EQ(track->segment(seconds(8))->sourceTime(seconds(8)), seconds(3));
    ASSERT_EQ(track->segments().size(), 4u);
    for (std::size_t i = 1; i < track->segments().size(); ++i) {
        EXPECT_EQ(track->segments()[i].target.start, track->segments()[i - 1].target.end());
    }
}

TEST(MutableComposition, MediaEndsBoundWhatIsInserted) {
    auto asset = tenSecondAsset();
    MutableComposition composition;
    CompositionTrack* track = composition.addTrack(MediaType::audio);

    // Past the end: what exists, then silence for the rest of the length.
    track->insertTimeRange(range(8, 4), asset, 1, seconds(0));
    EXPECT_EQ(composition.duration(), seconds(4));
    EXPECT_FALSE(track->segment(MediaTime(1199, 600))->isEmpty());
    EXPECT_TRUE(track->segment(seconds(2))->isEmpty());

    // A start at or beyond the media's end, a track of another kind or not in
    // the asset, an empty range and a negative place fail and change nothing.
    auto before = composition.copy();
    EXPECT_THROW(track->insertTimeRange(range(10, 1), asset, 1, seconds(0)), MediaError);
    EXPECT_THROW(track->insertTimeRange(range(0, 1), asset, 0, seconds(0)), MediaError);
    EXPECT_THROW(track->insertTimeRange(range(0, 1), asset, 7, seconds(0)), MediaError);
    EXPECT_THROW(track->insertTimeRange(range(0, 0), asset, 1, seconds(0)), MediaError);
    EXPECT_THROW(track->insertTimeRange(range(0, 1), asset, 1, seconds(-1)), MediaError);
    EXPECT_EQ(composition.copy(), before);
}

TEST(MutableComposition, ScalingMapsCompositionTimeToExactSourceTime) {
    auto asset = tenSecondAsset();
    MutableComposition composition;
    CompositionTrack* video = composition.addTrack(MediaType::video);
    CompositionTrack* audio = composition.addTrack(MediaType::audio);
    video->insertTimeRange(range(0, 8), asset, 0, seconds(0));
    audio->insertTimeRange(range(0, 8), asset, 1, seconds(0));

    // Twice the speed: composition 1 s shows source 2 s, on every track.
    composition.scaleTimeRange(range(0, 8), seconds(4));
    EXPECT_EQ(composition.duration(), seconds(4));
    EXPECT_EQ(video->segment(seconds(1))->sourceTime(seconds(1)), seconds(2));
    EXPECT_EQ(audio->segment(seconds(1))->sourceTime(seconds(1)), seconds(2));

    // A third of a second of a 3 s -> 2 s stretch is not a whole 1/600 s
    // tick, and stays exact.
    CompositionTrack* slow = composition.addTrack(MediaType::video);
    slow->insertTimeRange(range(0, 3), asset, 0, seconds(0));
    slow->scaleTimeRange(range(0, 3), seconds(2));
    MediaTime t(1, 1500);
    EXPECT_EQ(slow->segment(t)->sourceTime(t), MediaTime(1, 1000));

    // Scaling a middle part keeps what comes before and moves what follows.
    CompositionTrack* middle = composition.addTrack(MediaType::video);
    middle->insertTimeRange(range(0, 8), asset, 0, seconds(0));
    middle->scaleTimeRange(range(2, 4), seconds(2));
    EXPECT_EQ(middle->end(), seconds(6));
    EXPECT_EQ(middle->segment(seconds(1))->sourceTime(seconds(1)), seconds(1));
    EXPECT_EQ(middle->segment(seconds(3))->sourceTime(seconds(3)), seconds(4));
    EXPECT_EQ(middle->segment(seconds(5))->sourceTime(seconds(5)), seconds(7));

    EXPECT_THROW(middle->scaleTimeRange(range(0, 1), seconds(0)), MediaError);
}

TEST(MutableComposition, TracksAndTheImmutableCopy) {
    auto asset = tenSecondAsset();
    MutableComposition composition;
    EXPECT_EQ(composition.addTrack(MediaType::other), nullptr);
    CompositionTrack* first = composition.addTrack(MediaType::video);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->trackID(), 1);
    EXPECT_EQ(composition.addTrack(MediaType::audio, 1), nullptr);
    CompositionTrack* chosen = composition.addTrack(MediaType::audio, 5);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->trackID(), 5);
    EXPECT_EQ(composition.addTrack(MediaType::video)->trackID(), 2);

    first->insertTimeRange(range(0, 2), asset, 0, seconds(0));
    Composition copy = composition.copy();
    first->insertTimeRange(range(0, 2), asset, 0, seconds(2));
    EXPECT_TRUE(composition.removeTrack(5));
    EXPECT_FALSE(composition.removeTrack(5));

    EXPECT_EQ(copy.duration(), seconds(2));
    EXPECT_EQ(copy.tracks().size(), 3u);
    ASSERT_NE(copy.track(5), nullptr);
    EXPECT_EQ(copy.tracksWithMediaType(MediaType::video).size(), 2u);
    EXPECT_EQ(composition.duration(), seconds(4));
    EXPECT_EQ(composition.copy().tracks().size(), 2u);
}
