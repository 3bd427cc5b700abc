#include "platform/media/CompositionFrameSeeker.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MutableComposition.h"
#include "support/media/FreshFrame.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace vexel::media;
using vexel::testing::samePixels;
using vexel::testing::TemporaryFolder;
using vexel::testing::testFrameLevel;
using vexel::testing::writeTestMovie;

namespace {

struct Cut {
    Composition composition;
    VideoComposition video;
};

// 3 s of a 90-frame clip with a key frame every second, cut at 1.5 s: the
// first half shows source frames 0-44, the second goes back to show 15-59.
Cut cutClip(const std::shared_ptr<const Asset>& clip) {
    MutableComposition composition;
    CompositionTrack* track = composition.addTrack(MediaType::video);
    const int source = clip->firstTrack(MediaType::video)->trackID;
    track->insertTimeRange({MediaTime::zero(), MediaTime(45, 30)}, clip, source, MediaTime::zero());
    track->insertTimeRange({MediaTime(15, 30), MediaTime(45, 30)}, clip, source, MediaTime(45, 30));
    VideoComposition video;
    video.renderSize = {320, 240};
    VideoCompositionLayerInstruction layer;
    layer.trackID = track->trackID();
    video.instructions = {std::make_shared<LayerVideoCompositionInstruction>(
        MediaTimeRange{MediaTime::zero(), MediaTime(3, 1)},
        std::vector<VideoCompositionLayerInstruction>{layer})};
    return {composition.copy(), std::move(video)};
}

PixelBuffer freshFrame(const Cut& cut, std::int64_t n) {
    return vexel::testing::freshFrame(cut.composition, cut.video, MediaTime(n, 30));
}

int level(const PixelBuffer& frame) {
    return frame.row(120)[4 * 80 + 1];
}

} // namespace

TEST(CompositionFrameSeekerTest, DecodesOnWithinAGroupOfPicturesAndGivesAFreshReadersFrame) {
    TemporaryFolder folder;
    writeTestMovie(folder / "clip.mp4", {.frameCount = 90, .maxKeyFrameInterval = 30});
    const Cut cut = cutClip(std::make_shared<const Asset>(Asset::load(folder / "clip.mp4")));
    CompositionFrameSeeker seeker(cut.composition, cut.video);

    struct Step {
        std::int64_t frame;
        int sourceFrame;
        // Whether the decoder goes back to a key frame for it.
        bool keyFrameSeek;
    };
    const Step steps[] = {
        {5, 5, true},    // the first frame opens the file
        {6, 6, false},   // the next frame
        {12, 12, false}, // later in the same group
        {29, 29, false}, // its last frame
        {31, 31, false}, // just past the next key frame
        {20, 20, true},  // back
        {58, 28, false}, // after the cut the source goes back, not behind the decoder
        {2, 2, true},    // back
        {84, 54, true},  // a group away
        {84, 54, false}, // the same frame again
        {62, 32, true},  // back
        // The last but one before the next key frame (58) decodes on, though
        // its packet comes after that key frame's: frames show later than
        // they decode.
        {87, 57, false},
    };
    std::int64_t seeks = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.frame);
        std::optional<VideoFrame> frame = seeker.frameAt(step.frame);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(frame->time, MediaTime(step.frame, 30));
        EXPECT_EQ(frame->duration, MediaTime(1, 30));
        EXPECT_NEAR(level(frame->buffer), testFrameLevel(step.sourceFrame), 2);
        EXPECT_TRUE(samePixels(frame->buffer, freshFrame(cut, step.frame)));
        seeks += step.keyFrameSeek ? 1 : 0;
        EXPECT_EQ(seeker.keyFrameSeeks(), seeks);
    }

    // Given up half-way, a frame is asked for again and decodes on from where
    // the decoder stopped.
    int asked = 0;
    EXPECT_FALSE(seeker.frameAt(10, [&] { return ++asked > 3; }).has_value());
    std::int64_t decoded = seeker.framesDecoded();
    EXPECT_LT(seeker.decodingCost(12), seeker.decodingCost(80));
    std::optional<VideoFrame> frame = seeker.frameAt(22);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(seeker.keyFrameSeeks(), seeks + 1);
    EXPECT_TRUE(samePixels(frame->buffer, freshFrame(cut, 22)));
    // Frames that are neither shown nor referred to are not decoded.
    EXPECT_LT(seeker.framesDecoded() - decoded, 22 - 1);

    // A seek given up before its first frame came out has still moved the
    // decoder to its key frame: a frame before that one goes back to its own
    // key frame rather than taking the first frame that comes.
    ASSERT_TRUE(seeker.frameAt(2).has_value());
    EXPECT_FALSE(seeker.frameAt(84, [] { return true; }).has_value());
    frame = seeker.frameAt(20);
    ASSERT_TRUE(frame.has_value());
    EXPECT_NEAR(level(frame->buffer), testFrameLevel(20), 2);
    EXPECT_TRUE(samePixels(frame->buffer, freshFrame(cut, 20)));

    seeker.cancel();
    EXPECT_FALSE(seeker.frameAt(40).has_value());
}

TEST(CompositionFrameSeekerTest, ReportsWhatCannotBeRead) {
    TemporaryFolder folder;
    writeTestMovie(folder / "gone.mp4");
    const Cut cut = cutClip(std::make_shared<const Asset>(Asset::load(folder / "gone.mp4")));
    std::filesystem::remove(folder / "gone.mp4");
    CompositionFrameSeeker seeker(cut.composition, cut.video);
    // Failing to open, it reports so each time, and a frame of it is never
    // taken to cost less than one of a source not opened yet: choosing
    // between seeks must not favour the one that cannot be read.
    const std::int64_t unopened = seeker.decodingCost(3);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        try {
            seeker.frameAt(3);
            FAIL() << "a missing file read";
        } catch (const MediaError& error) {
            EXPECT_EQ(error.kind(), MediaError::Kind::cannotOpen);
        }
        EXPECT_EQ(seeker.decodingCost(3), unopened);
    }

    VideoComposition still = cut.video;
    still.frameDuration = MediaTime::zero();
    EXPECT_THROW(CompositionFrameSeeker(cut.composition, still), MediaError);
}
