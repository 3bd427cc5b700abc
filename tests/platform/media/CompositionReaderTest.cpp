#include "platform/media/CompositionReader.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MutableComposition.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

using namespace vexel::media;
using vexel::testing::TemporaryFolder;
using vexel::testing::testFrameLevel;
using vexel::testing::writeTestMovie;

namespace {

MediaTime seconds(double s) {
    return MediaTime::fromSeconds(s);
}

// A custom compositor that draws the first source frame unchanged, records
// what each request saw, and fails at one time when asked.
class RecordingCompositor : public VideoCompositor {
public:
    struct Log {
        std::mutex mutex;
        std::map<MediaTime, bool> sawSource;
        std::atomic<int> running{0};
        std::atomic<int> mostAtOnce{0};
    };

    RecordingCompositor(std::shared_ptr<Log> log, std::optional<MediaTime> failAt)
        : log_(std::move(log))
        , failAt_(failAt) {}

    void startRequest(VideoCompositionRequest& request) override {
        int now = ++log_->running;
        int most = log_->mostAtOnce.load();
        while (now > most && !log_->mostAtOnce.compare_exchange_weak(most, now)) {
        }
        std::vector<int> ids = request.instruction().requiredSourceTrackIDs();
        std::optional<PixelBuffer> source = request.sourceFrame(ids.front());
        {
            std::lock_guard lock(log_->mutex);
            log_->sawSource[request.compositionTime()] = source.has_value();
        }
        --log_->running;
        if (failAt_ && request.compositionTime() == *failAt_) {
            request.finish(VideoCompositionError{"TestCompositor", 7, "Cannot draw"});
            return;
        }
        request.finish(source ? *source : *request.newPixelBuffer());
    }

private:
    std::shared_ptr<Log> log_;
    std::optional<MediaTime> failAt_;
};

class CompositionReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TemporaryFolder();
        writeTestMovie(*folder_ / "clip.mp4");
        clip_ = std::make_shared<const Asset>(Asset::load(*folder_ / "clip.mp4"));
    }
    static void TearDownTestSuite() {
        clip_.reset();
        delete folder_;
    }

    static std::shared_ptr<const Asset> clip() { return clip_; }
    static int videoTrack() { return clip_->firstTrack(MediaType::video)->trackID; }
    static int audioTrack() { return clip_->firstTrack(MediaType::audio)->trackID; }

    static VideoComposition layerForm(const Composition& composition, int trackID) {
        VideoComposition video;
        video.renderSize = {320, 240};
        VideoCompositionLayerInstruction layer;
        layer.trackID = trackID;
        video.instructions = {std::make_shared<LayerVideoCompositionInstruction>(
            MediaTimeRange{MediaTime::zero(), composition.duration()},
            std::vector<VideoCompositionLayerInstruction>{layer})};
        return video;
    }

    static VideoComposition customForm(const Composition& composition, int trackID,
                                       std::shared_ptr<RecordingCompositor::Log> log,
                                       std::optional<MediaTime> failAt = std::nullopt) {
        VideoComposition video = layerForm(composition, trackID);
        video.customCompositor = [log, failAt] {
            return std::make_unique<RecordingCompositor>(log, failAt);
        };
        return video;
    }

private:
    static inline TemporaryFolder* folder_ = nullptr;
    static inline std::shared_ptr<const Asset> clip_;
};

// The grey level of a composed frame's left half.
int level(const PixelBuffer& frame) {
    return frame.row(120)[4 * 80 + 1];
}

} // namespace

TEST_F(CompositionReaderTest, OneSecondReadsAsThirtyFramesAndItsMixAtOnce) {
    MutableComposition mutableComposition;
    CompositionTrack* video = mutableComposition.addTrack(MediaType::video);
    CompositionTrack* audio = mutableComposition.addTrack(MediaType::audio);
    // Source 0.5 s to 1.5 s at twice the speed: 0.5 s, frames 15, 17, 19...
    video->insertTimeRange({seconds(0.5), seconds(1)}, clip(), videoTrack(), seconds(0));
    video->scaleTimeRange({seconds(0), seconds(1)}, seconds(0.5));
    video->insertTimeRange({seconds(0), seconds(0.5)}, clip(), videoTrack(), seconds(0.5));
    audio->insertTimeRange({seconds(0), seconds(1)}, clip(), audioTrack(), seconds(0));
    Composition composition = mutableComposition.copy();
    ASSERT_EQ(composition.duration(), seconds(1));

    CompositionReader reader(composition, {.threads = 4});
    reader.addVideoOutput(layerForm(composition, video->trackID()));
    reader.addAudioOutput(std::nullopt);
    ASSERT_TRUE(reader.startReading());

    std::size_t audioFrames = 0;
    std::thread audioPump([&] {
        while (auto run = reader.copyNextAudioSamples()) {
            audioFrames += run->frameCount();
        }
    });
    std::vector<VideoFrame> frames;
    while (auto frame = reader.copyNextVideoFrame()) {
        frames.push_back(*frame);
    }
    audioPump.join();

    EXPECT_EQ(reader.status(), CompositionReader::Status::completed);
    EXPECT_EQ(audioFrames, 44100u);
    ASSERT_EQ(frames.size(), 30u);
    for (int n = 0; n < 30; ++n) {
        EXPECT_EQ(frames[n].time, MediaTime(n, 30)) << n;
        EXPECT_EQ(frames[n].duration, MediaTime(1, 30)) << n;
        ASSERT_EQ(frames[n].buffer.width(), 320);
        int shown = n < 15 ? 15 + 2 * n : n - 15;
        EXPECT_NEAR(level(frames[n].buffer), testFrameLevel(shown), 6) << n;
    }

    // A later part alone: frames from the first frame time in it.
    CompositionReader part(composition, {.timeRange = MediaTimeRange{seconds(0.51), seconds(0.2)}});
    part.addVideoOutput(layerForm(composition, video->trackID()));
    ASSERT_TRUE(part.startReading());
    std::vector<MediaTime> times;
    while (auto frame = part.copyNextVideoFrame()) {
        times.push_back(frame->time);
        // Composition frame n >= 15 shows source frame n - 15.
        EXPECT_NEAR(level(frame->buffer), testFrameLevel(static_cast<int>(times.size())), 6);
    }
    ASSERT_EQ(times.size(), 6u);
    EXPECT_EQ(times.front(), MediaTime(16, 30));
}

TEST_F(CompositionReaderTest, RequestsInParallelSeeNoSourceFrameInAGap) {
    MutableComposition mutableComposition;
    CompositionTrack* video = mutableComposition.addTrack(MediaType::video);
    video->insertTimeRange({seconds(0), seconds(1)}, clip(), videoTrack(), seconds(1));
    // Past the media's end: the last half second shows nothing.
    video->insertTimeRange({seconds(1.5), seconds(1)}, clip(), videoTrack(), seconds(2));
    Composition composition = mutableComposition.copy();

    auto log = std::make_shared<RecordingCompositor::Log>();
    CompositionReader reader(composition, {.threads = 4});
    reader.addVideoOutput(customForm(composition, video->trackID(), log));
    ASSERT_TRUE(reader.startReading());
    int count = 0;
    while (auto frame = reader.copyNextVideoFrame()) {
        EXPECT_EQ(frame->time, MediaTime(count++, 30));
    }
    EXPECT_EQ(reader.status(), CompositionReader::Status::completed);
    ASSERT_EQ(count, 90);
    ASSERT_EQ(log->sawSource.size(), 90u);
    for (const auto& [time, saw] : log->sawSource) {
        bool inMedia = time >= seconds(1) && time < seconds(2.5);
        EXPECT_EQ(saw, inMedia) << time;
    }
}

TEST_F(CompositionReaderTest, CompositorErrorFailsTheReaderAndCancelStopsIt) {
    MutableComposition mutableComposition;
    CompositionTrack* video = mutableComposition.addTrack(MediaType::video);
    video->insertTimeRange({seconds(0), seconds(2)}, clip(), videoTrack(), seconds(0));
    Composition composition = mutableComposition.copy();

    auto log = std::make_shared<RecordingCompositor::Log>();
    CompositionReader failing(composition, {.threads = 3});
    failing.addVideoOutput(customForm(composition, video->trackID(), log, MediaTime(10, 30)));
    ASSERT_TRUE(failing.startReading());
    int delivered = 0;
    while (failing.copyNextVideoFrame()) {
        ++delivered;
    }
    EXPECT_LE(delivered, 10);
    EXPECT_EQ(failing.status(), CompositionReader::Status::failed);
    ASSERT_TRUE(failing.error().has_value());
    EXPECT_EQ(failing.error()->kind(), MediaError::Kind::compositionFailed);
    EXPECT_EQ(failing.error()->domain(), "TestCompositor");
    EXPECT_EQ(failing.error()->code(), 7);
    EXPECT_EQ(failing.error()->message(), "Cannot draw");
    EXPECT_FALSE(failing.startReading());

    // Cancelling from another thread while frames are being read.
    CompositionReader cancelled(composition);
    cancelled.addVideoOutput(layerForm(composition, video->trackID()));
    cancelled.addAudioOutput(std::nullopt);
    ASSERT_TRUE(cancelled.startReading());
    ASSERT_TRUE(cancelled.copyNextVideoFrame().has_value());
    std::thread([&] { cancelled.cancelReading(); }).join();
    cancelled.cancelReading();
    EXPECT_FALSE(cancelled.copyNextVideoFrame().has_value());
    EXPECT_FALSE(cancelled.copyNextAudioSamples().has_value());
    EXPECT_EQ(cancelled.status(), CompositionReader::Status::cancelled);
    EXPECT_FALSE(cancelled.error().has_value());
    EXPECT_THROW(cancelled.addAudioOutput(std::nullopt), MediaError);
}
