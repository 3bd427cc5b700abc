#include "platform/media/MovieWriter.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <thread>

using namespace vexel::media;
using vexel::testing::makeTestFrame;
using vexel::testing::TemporaryFolder;

namespace {

AudioSamples silence(MediaTime time, int frames, int rate = 44100, int channels = 2) {
    AudioSamples samples;
    samples.time = time;
    samples.sampleRate = rate;
    samples.channelCount = channels;
    samples.samples.assign(static_cast<std::size_t>(frames * channels), 0);
    return samples;
}

std::vector<VideoFrame> readFrames(const std::filesystem::path& path) {
    Asset asset = Asset::load(path);
    AssetReader reader(asset, *asset.firstTrack(MediaType::video));
    std::vector<VideoFrame> frames;
    EXPECT_TRUE(reader.startReading());
    while (auto frame = reader.copyNextVideoFrame()) {
        frames.push_back(*frame);
    }
    return frames;
}

} // namespace

TEST(MovieWriter, LastFrameShowsForOneFrameAtTheGivenRate) {
    TemporaryFolder folder;
    auto path = folder / "slow.mp4";
    MovieWriter writer(path, FileType::mp4);
    auto& video = writer.addVideoInput({.width = 64, .height = 48, .frameRate = 1});
    ASSERT_TRUE(writer.startWriting());
    writer.startSession(MediaTime::zero());
    PixelBuffer black = PixelBuffer::create(64, 48);
    // The same buffer for every frame, at i * 600 / (1 * 600) s.
    EXPECT_TRUE(video.append(black, MediaTime(0, 600)));
    EXPECT_TRUE(video.append(black, MediaTime(600, 600)));
    video.markAsFinished();
    ASSERT_TRUE(writer.finishWriting());
    EXPECT_EQ(writer.status(), MovieWriter::Status::completed);

    Asset asset = Asset::load(path);
    EXPECT_EQ(asset.duration, MediaTime(2, 1));
    EXPECT_EQ(asset.firstTrack(MediaType::video)->nominalFrameRate, 1.0);
    auto frames = readFrames(path);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].time, MediaTime(1, 1));
    // Zero bytes (transparent black) come out as opaque black.
    const std::uint8_t* p = frames[0].buffer.row(20) + 4 * 30;
    EXPECT_LT(p[0], 8);
    EXPECT_LT(p[1], 8);
    EXPECT_LT(p[2], 8);
}

TEST(MovieWriter, SessionStartAndOtherAudioFormatsAreHonoured) {
    TemporaryFolder folder;
    auto path = folder / "late.mov";
    MovieWriter writer(path, FileType::mov);
    auto& video = writer.addVideoInput({.width = 32, .height = 32});
    auto& audio = writer.addAudioInput({});
    ASSERT_TRUE(writer.startWriting());
    writer.startSession(MediaTime(10, 1));
    PixelBufferPool pool(32, 32);
    // Video and audio fed from two threads at once, as an export does.
    std::thread videoPump([&] {
        for (int i = 0; i < 30; ++i) {
            EXPECT_TRUE(video.append(makeTestFrame(pool, i), MediaTime(300 + i, 30)));
        }
        video.markAsFinished();
    });
    std::thread audioPump([&] {
        // 48 kHz mono in, 44.1 kHz stereo AAC out.
        for (int i = 0; i < 48; ++i) {
            EXPECT_TRUE(audio.append(silence(MediaTime(480000 + i * 1000, 48000), 1000, 48000, 1)));
        }
        audio.markAsFinished();
    });
    videoPump.join();
    audioPump.join();
    ASSERT_TRUE(writer.finishWriting()) << writer.error()->message();

    Asset asset = Asset::load(path);
    auto frames = readFrames(path);
    ASSERT_EQ(frames.size(), 30u);
    EXPECT_EQ(frames.front().time, MediaTime::zero());
    EXPECT_EQ(frames.back().time, MediaTime(29, 30));
    auto audioTrack = asset.firstTrack(MediaType::audio);
    ASSERT_TRUE(audioTrack.has_value());
    EXPECT_EQ(audioTrack->sampleRate, 44100);
    EXPECT_EQ(audioTrack->channelCount, 2);
    EXPECT_EQ(audioTrack->timeRange.duration, MediaTime(1, 1));
}

TEST(MovieWriter, RefusesBadSettingsLateInputsAndExistingFiles) {
    TemporaryFolder folder;
    MovieWriter writer(folder / "a.mp4", FileType::mp4);
    for (VideoSettings bad :
         {VideoSettings{.width = 0, .height = 10}, VideoSettings{.width = 10, .height = 20000},
          VideoSettings{.width = 10, .height = 10, .frameRate = 0},
          VideoSettings{.width = 10, .height = 10, .transform = {1, 0, 0, 1, 1e9, 0}}}) {
        EXPECT_THROW(writer.addVideoInput(bad), MediaError);
    }
    EXPECT_THROW(writer.addAudioInput({.sampleRate = 0}), MediaError);
    EXPECT_FALSE(writer.startWriting()); // no inputs
    EXPECT_EQ(writer.status(), MovieWriter::Status::failed);
    EXPECT_EQ(writer.error()->kind(), MediaError::Kind::invalidState);

    auto existing = folder / "existing.mp4";
    std::ofstream(existing) << "keep me";
    MovieWriter careful(existing, FileType::mp4);
    careful.addAudioInput({});
    EXPECT_FALSE(careful.startWriting());
    EXPECT_EQ(careful.error()->kind(), MediaError::Kind::writingFailed);
    std::ifstream kept(existing);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "keep me");

    MovieWriter started(folder / "b.mp4", FileType::mp4);
    started.addAudioInput({});
    ASSERT_TRUE(started.startWriting());
    EXPECT_FALSE(started.startWriting());
    EXPECT_THROW(started.addVideoInput({.width = 8, .height = 8}), MediaError);
    EXPECT_TRUE(started.finishWriting());
}

TEST(MovieWriter, FailureStopsEveryInputAndLeavesTheFileToTheCaller) {
    TemporaryFolder folder;
    struct Case {
        const char* name;
        PixelBuffer second;
        MediaTime secondTime;
    };
    const Case cases[] = {
        {"wrong size", PixelBuffer::create(16, 8), MediaTime(1, 30)},
        {"time going back", PixelBuffer::create(8, 8), MediaTime(0, 30)},
    };
    for (const Case& c : cases) {
        auto path = folder / (std::string(c.name) + ".mp4");
        MovieWriter writer(path, FileType::mp4);
        auto& video = writer.addVideoInput({.width = 8, .height = 8});
        auto& audio = writer.addAudioInput({});
        ASSERT_TRUE(writer.startWriting());
        EXPECT_TRUE(video.isReadyForMoreMediaData());
        video.append(PixelBuffer::create(8, 8), MediaTime::zero());
        video.append(c.second, c.secondTime);
        video.markAsFinished();
        EXPECT_FALSE(writer.finishWriting()) << c.name;
        EXPECT_EQ(writer.status(), MovieWriter::Status::failed) << c.name;
        ASSERT_TRUE(writer.error().has_value());
        EXPECT_EQ(writer.error()->kind(), MediaError::Kind::invalidArgument) << c.name;
        EXPECT_FALSE(video.isReadyForMoreMediaData());
        EXPECT_FALSE(audio.isReadyForMoreMediaData());
        EXPECT_FALSE(audio.append(silence(MediaTime::zero(), 100)));
        EXPECT_TRUE(std::filesystem::exists(path)) << c.name;
    }
}

TEST(MovieWriter, FinishedInputsTakeNothingAndCancelRemovesTheFile) {
    TemporaryFolder folder;
    auto path = folder / "cancelled.mp4";
    MovieWriter writer(path, FileType::mp4);
    auto& video = writer.addVideoInput({.width = 8, .height = 8});
    auto& audio = writer.addAudioInput({});
    EXPECT_FALSE(video.append(PixelBuffer::create(8, 8), MediaTime::zero())); // not started
    ASSERT_TRUE(writer.startWriting());
    EXPECT_TRUE(audio.append(silence(MediaTime::zero(), 5000)));
    audio.markAsFinished();
    audio.markAsFinished();
    EXPECT_FALSE(audio.isReadyForMoreMediaData());
    EXPECT_FALSE(audio.append(silence(MediaTime(5000, 44100), 100)));
    EXPECT_TRUE(video.append(PixelBuffer::create(8, 8), MediaTime::zero()));
    EXPECT_TRUE(std::filesystem::exists(path));
    writer.cancelWriting();
    writer.cancelWriting();
    EXPECT_EQ(writer.status(), MovieWriter::Status::cancelled);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(video.append(PixelBuffer::create(8, 8), MediaTime(1, 30)));
    EXPECT_FALSE(writer.finishWriting());
    EXPECT_FALSE(writer.error().has_value());
}

TEST(MovieWriter, AudioOnlyMovie) {
    TemporaryFolder folder;
    auto path = folder / "sound.mp4";
    MovieWriter writer(path, FileType::mp4);
    auto& audio = writer.addAudioInput({});
    ASSERT_TRUE(writer.startWriting());
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(audio.append(silence(MediaTime(i * 4410, 44100), 4410)));
    }
    ASSERT_TRUE(writer.finishWriting());
    Asset asset = Asset::load(path);
    ASSERT_EQ(asset.tracks.size(), 1u);
    EXPECT_EQ(asset.tracks[0].mediaType, MediaType::audio);
    EXPECT_EQ(asset.duration, MediaTime(1, 1));
}

TEST(MovieWriter, FloatSamplesOfAMixAreEncodedAtTheirLevel) {
    TemporaryFolder folder;
    auto path = folder / "mix.m4a";
    MovieWriter writer(path, FileType::mp4);
    auto& audio = writer.addAudioInput({});
    ASSERT_TRUE(writer.startWriting());
    FloatAudioSamples run{MediaTime::zero(), 44100, 2, {}};
    for (int i = 0; i < 44100; ++i) {
        float value = 0.5f * static_cast<float>(std::sin(2 * 3.14159265358979 * 440 * i / 44100.0));
        run.samples.push_back(value);
        run.samples.push_back(value);
    }
    ASSERT_TRUE(audio.append(run));
    audio.markAsFinished();
    ASSERT_TRUE(writer.finishWriting());

    Asset asset = Asset::load(path);
    AssetReader reader(asset, *asset.firstTrack(MediaType::audio));
    ASSERT_TRUE(reader.startReading());
    std::size_t frames = 0;
    int loudest = 0;
    while (auto samples = reader.copyNextAudioSamples()) {
        frames += samples->frameCount();
        for (std::int16_t value : samples->samples) {
            loudest = std::max(loudest, static_cast<int>(value));
        }
    }
    EXPECT_EQ(frames, 44100u);
    EXPECT_NEAR(loudest, 16384, 1200);
}
