#include "platform/media/AssetReader.h"
#include "platform/media/Asset.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>

using namespace vexel::media;
using vexel::testing::TemporaryFolder;
using vexel::testing::writeTestMovie;

namespace {

class AssetReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TemporaryFolder();
        writeTestMovie(*folder_ / "clip.mp4");
        asset_ = new Asset(Asset::load(*folder_ / "clip.mp4"));
    }
    static void TearDownTestSuite() {
        delete asset_;
        delete folder_;
    }

    static const Asset& asset() { return *asset_; }
    static AssetTrack video() { return *asset_->firstTrack(MediaType::video); }
    static AssetTrack audio() { return *asset_->firstTrack(MediaType::audio); }

    static std::vector<MediaTime> frameTimes(const std::optional<MediaTimeRange>& range) {
        AssetReader reader(asset(), video(), {.timeRange = range});
        EXPECT_TRUE(reader.startReading());
        std::vector<MediaTime> times;
        while (auto frame = reader.copyNextVideoFrame()) {
            times.push_back(frame->time);
        }
        EXPECT_EQ(reader.status(), AssetReader::Status::completed);
        return times;
    }

private:
    static inline TemporaryFolder* folder_ = nullptr;
    static inline Asset* asset_ = nullptr;
};

MediaTimeRange range(MediaTime start, MediaTime end) {
    return {start, end - start};
}

} // namespace

TEST_F(AssetReaderTest, TimeRangeGivesTheFrameShowingAtItsStartAndThoseBeforeItsEnd) {
    // On frame boundaries: frames 15 to 44.
    auto times = frameTimes(range(MediaTime(1, 2), MediaTime(3, 2)));
    ASSERT_EQ(times.size(), 30u);
    EXPECT_EQ(times.front(), MediaTime(15, 30));
    EXPECT_EQ(times.back(), MediaTime(44, 30));

    // A start inside frame 15 (0.51 s) still gets frame 15 first; an end just
    // after frame 20 starts keeps frame 20.
    times = frameTimes(range(MediaTime(51, 100), MediaTime(2001, 3000)));
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.front(), MediaTime(15, 30));
    EXPECT_EQ(times.back(), MediaTime(20, 30));
    EXPECT_EQ(times.size(), 6u);

    // Far into the file (after a seek) and past its end.
    times = frameTimes(range(MediaTime(59, 30), MediaTime(10, 1)));
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times.front(), MediaTime(59, 30));
    times = frameTimes(range(MediaTime(5, 1), MediaTime(6, 1)));
    ASSERT_EQ(times.size(), 1u); // the last frame is still showing at 5 s
    EXPECT_EQ(times.front(), MediaTime(59, 30));
}

TEST_F(AssetReaderTest, AudioIsCutToTheSampleAndCanBeConverted) {
    AssetReader reader(asset(), audio(), {.timeRange = range(MediaTime(1, 2), MediaTime(1, 1))});
    ASSERT_TRUE(reader.startReading());
    std::size_t frames = 0;
    std::optional<MediaTime> first;
    MediaTime next;
    while (auto samples = reader.copyNextAudioSamples()) {
        if (!first) {
            first = samples->time;
        } else {
            EXPECT_EQ(samples->time, next);
        }
        next = samples->time + samples->duration();
        frames += samples->frameCount();
    }
    EXPECT_EQ(reader.status(), AssetReader::Status::completed);
    EXPECT_EQ(first, MediaTime(1, 2));
    EXPECT_EQ(frames, 22050u);

    AssetReader mono(asset(), audio(), {.audioSampleRate = 22050, .audioChannelCount = 1});
    ASSERT_TRUE(mono.startReading());
    frames = 0;
    while (auto samples = mono.copyNextAudioSamples()) {
        EXPECT_EQ(samples->sampleRate, 22050);
        EXPECT_EQ(samples->channelCount, 1);
        EXPECT_EQ(samples->samples.size(), samples->frameCount());
        frames += samples->frameCount();
    }
    EXPECT_EQ(mono.status(), AssetReader::Status::completed);
    EXPECT_EQ(frames, 44100u);

    EXPECT_THROW(AssetReader(asset(), audio(), {.audioChannelCount = 0}), MediaError);
}

TEST_F(AssetReaderTest, CancelStopsAtOnceFromAnotherThreadAndIsIdempotent) {
    AssetReader reader(asset(), video());
    ASSERT_TRUE(reader.startReading());
    ASSERT_TRUE(reader.copyNextVideoFrame().has_value());
    std::thread([&reader] { reader.cancelReading(); }).join();
    EXPECT_EQ(reader.status(), AssetReader::Status::cancelled);
    EXPECT_FALSE(reader.copyNextVideoFrame().has_value());
    reader.cancelReading();
    EXPECT_EQ(reader.status(), AssetReader::Status::cancelled);
    EXPECT_FALSE(reader.error().has_value());

    // A consumer that is busy reading sees the cancel at its next frame.
    AssetReader busy(asset(), video());
    ASSERT_TRUE(busy.startReading());
    std::atomic<int> read{0};
    std::atomic<bool> cancelled{false};
    int readAfterCancel = -1;
    std::thread consumer([&] {
        while (busy.copyNextVideoFrame()) {
            ++read;
            while (read == 3 && !cancelled) {
                std::this_thread::yield();
            }
        }
        readAfterCancel = read - 3;
    });
    while (read < 3) {
        std::this_thread::yield();
    }
    busy.cancelReading();
    cancelled = true;
    consumer.join();
    EXPECT_EQ(readAfterCancel, 0);
    EXPECT_EQ(busy.status(), AssetReader::Status::cancelled);

    AssetReader early(asset(), audio());
    early.cancelReading();
    EXPECT_FALSE(early.startReading());
    EXPECT_EQ(early.status(), AssetReader::Status::cancelled);
    EXPECT_FALSE(early.copyNextAudioSamples().has_value());
}

TEST_F(AssetReaderTest, EndStatesStick) {
    AssetReader reader(asset(), audio());
    ASSERT_TRUE(reader.startReading());
    EXPECT_FALSE(reader.startReading());
    while (reader.copyNextAudioSamples()) {
    }
    EXPECT_EQ(reader.status(), AssetReader::Status::completed);
    reader.cancelReading();
    EXPECT_EQ(reader.status(), AssetReader::Status::completed);
    EXPECT_THROW(reader.copyNextVideoFrame(), std::logic_error);
}

TEST(AssetReaderFailures, MissingOrDamagedFilesFailWithFFmpegsText) {
    TemporaryFolder folder;
    EXPECT_THROW(
        {
            try {
                Asset::load(folder / "missing.mp4");
            } catch (const MediaError& error) {
                EXPECT_EQ(error.kind(), MediaError::Kind::cannotOpen);
                EXPECT_NE(error.message().find("No such file or directory"), std::string::npos)
                    << error.message();
                EXPECT_NE(error.message().find("missing.mp4"), std::string::npos);
                EXPECT_LT(error.ffmpegCode(), 0);
                throw;
            }
        },
        MediaError);
    std::ofstream(folder / "text.mp4") << "this is not a movie at all";
    EXPECT_THROW(Asset::load(folder / "text.mp4"), MediaError);

    // The file goes away between probing and reading.
    auto path = folder / "gone.mp4";
    writeTestMovie(path, {.frameCount = 3, .hasAudio = false});
    Asset asset = Asset::load(path);
    std::filesystem::remove(path);
    AssetReader reader(asset, *asset.firstTrack(MediaType::video));
    EXPECT_FALSE(reader.startReading());
    EXPECT_EQ(reader.status(), AssetReader::Status::failed);
    ASSERT_TRUE(reader.error().has_value());
    EXPECT_EQ(reader.error()->kind(), MediaError::Kind::cannotOpen);
    EXPECT_FALSE(reader.copyNextVideoFrame().has_value());

    AssetTrack data;
    data.mediaType = MediaType::other;
    EXPECT_THROW(AssetReader(asset, data), MediaError);
    AssetTrack wrongKind = *asset.firstTrack(MediaType::video);
    wrongKind.mediaType = MediaType::audio;
    writeTestMovie(path, {.frameCount = 3, .hasAudio = false});
    AssetReader mismatched(Asset::load(path), wrongKind);
    EXPECT_FALSE(mismatched.startReading());
    EXPECT_EQ(mismatched.error()->kind(), MediaError::Kind::noSuchTrack);
}

TEST_F(AssetReaderTest, DecodesTheSamePixelsOnAnyNumberOfDecoderThreads) {
    auto levels = [&](std::optional<int> threads) {
        AssetReader reader(
            asset(), video(),
            {.timeRange = range(MediaTime(1, 3), MediaTime(1, 1)), .decoderThreads = threads});
        EXPECT_TRUE(reader.startReading());
        std::vector<int> seen;
        while (auto frame = reader.copyNextVideoFrame()) {
            // The grey half's level and the mark's corner of every frame.
            seen.push_back(frame->buffer.row(100)[4 * 40]);
            seen.push_back(frame->buffer.row(2)[4 * 2]);
        }
        EXPECT_EQ(reader.status(), AssetReader::Status::completed);
        return seen;
    };
    const std::vector<int> everyCore = levels(std::nullopt);
    ASSERT_EQ(everyCore.size(), 40u);
    EXPECT_EQ(levels(1), everyCore);
    EXPECT_EQ(levels(2), everyCore);
    for (int threads : {0, 65}) {
        EXPECT_THROW(AssetReader(asset(), video(), {.decoderThreads = threads}), MediaError)
            << threads;
    }
}
