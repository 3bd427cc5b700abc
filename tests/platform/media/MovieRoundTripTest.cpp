#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "platform/media/MovieWriter.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using namespace vexel::media;
using vexel::testing::TemporaryFolder;
using vexel::testing::testFrameLevel;
using vexel::testing::TestMovie;
using vexel::testing::writeTestMovie;

namespace {

std::vector<VideoFrame> readAllFrames(AssetReader& reader) {
    std::vector<VideoFrame> frames;
    EXPECT_TRUE(reader.startReading());
    while (auto frame = reader.copyNextVideoFrame()) {
        frames.push_back(*frame);
    }
    EXPECT_EQ(reader.status(), AssetReader::Status::completed);
    return frames;
}

std::vector<AudioSamples> readAllSamples(AssetReader& reader) {
    std::vector<AudioSamples> runs;
    EXPECT_TRUE(reader.startReading());
    while (auto samples = reader.copyNextAudioSamples()) {
        runs.push_back(*samples);
    }
    EXPECT_EQ(reader.status(), AssetReader::Status::completed);
    return runs;
}

std::size_t totalFrames(const std::vector<AudioSamples>& runs) {
    std::size_t total = 0;
    for (const auto& run : runs) {
        total += run.frameCount();
    }
    return total;
}

const std::uint8_t* pixel(const PixelBuffer& buffer, int x, int y) {
    return buffer.row(y) + 4 * x;
}

} // namespace

TEST(MovieRoundTrip, Mp4ReopensAsH264WithExactFrameTimesAndStereoAac) {
    TemporaryFolder folder;
    auto path = folder / "clip.mp4";
    writeTestMovie(path);

    Asset asset = Asset::load(path);
    EXPECT_EQ(asset.duration, MediaTime(2, 1));
    ASSERT_EQ(asset.tracks.size(), 2u);
    const AssetTrack& video = asset.tracks[0];
    EXPECT_EQ(video.mediaType, MediaType::video);
    EXPECT_EQ(video.codecName, "h264");
    EXPECT_EQ(video.codecTag, "avc1");
    EXPECT_EQ(video.naturalSize, (Size{320, 240}));
    EXPECT_EQ(video.nominalFrameRate, 30.0);
    EXPECT_TRUE(video.preferredTransform.isIdentity());
    EXPECT_EQ(video.timeRange, (MediaTimeRange{MediaTime::zero(), MediaTime(2, 1)}));
    const AssetTrack& audio = asset.tracks[1];
    EXPECT_EQ(audio.mediaType, MediaType::audio);
    EXPECT_EQ(audio.codecName, "aac");
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channelCount, 2);

    AssetReader videoReader(asset, video);
    std::vector<VideoFrame> frames = readAllFrames(videoReader);
    ASSERT_EQ(frames.size(), 60u);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(frames[i].time, MediaTime(i, 30)) << i;
        EXPECT_EQ(frames[i].duration, MediaTime(1, 30)) << i;
        const PixelBuffer& buffer = frames[i].buffer;
        ASSERT_EQ(buffer.width(), 320);
        ASSERT_EQ(buffer.height(), 240);
        // Grey on the left, blue on the right, white mark top-left, opaque.
        const std::uint8_t* grey = pixel(buffer, 80, 120);
        EXPECT_NEAR(grey[1], testFrameLevel(i), 6) << i;
        EXPECT_EQ(grey[3], 255);
        const std::uint8_t* blue = pixel(buffer, 240, 120);
        EXPECT_GT(blue[0], 230);
        EXPECT_LT(blue[2], 25);
        // The mark stays at the top left.
        EXPECT_GT(pixel(buffer, 2, 2)[0], 230);
        EXPECT_GT(pixel(buffer, 2, 2)[2], 230);
        EXPECT_NEAR(pixel(buffer, 2, 237)[2], testFrameLevel(i), 6);
        EXPECT_LT(pixel(buffer, 317, 2)[2], 25);
    }

    AssetReader audioReader(asset, audio);
    std::vector<AudioSamples> runs = readAllSamples(audioReader);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().time, MediaTime::zero());
    EXPECT_EQ(runs.front().sampleRate, 44100);
    EXPECT_EQ(runs.front().channelCount, 2);
    EXPECT_EQ(totalFrames(runs), 88200u);
    MediaTime expected = MediaTime::zero();
    std::int16_t loudest = 0;
    for (const auto& run : runs) {
        EXPECT_EQ(run.time, expected);
        expected = expected + run.duration();
        for (std::int16_t value : run.samples) {
            loudest = std::max<std::int16_t>(loudest, value);
        }
    }
    EXPECT_NEAR(loudest, 12000, 1500);
}

TEST(MovieRoundTrip, Mp4HasItsIndexBeforeTheMediaData) {
    TemporaryFolder folder;
    auto path = folder / "clip.mp4";
    writeTestMovie(path, TestMovie{.frameCount = 10});
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto moov = bytes.find("moov");
    auto mdat = bytes.find("mdat");
    ASSERT_NE(moov, std::string::npos);
    ASSERT_NE(mdat, std::string::npos);
    EXPECT_LT(moov, mdat);
}

TEST(MovieRoundTrip, MovCarriesHevcTaggedHvc1) {
    TemporaryFolder folder;
    auto path = folder / "clip.mov";
    writeTestMovie(path, TestMovie{.fileType = FileType::mov, .codec = VideoCodec::hevc});
    Asset asset = Asset::load(path);
    auto video = asset.firstTrack(MediaType::video);
    ASSERT_TRUE(video.has_value());
    EXPECT_EQ(video->codecName, "hevc");
    EXPECT_EQ(video->codecTag, "hvc1");
    EXPECT_EQ(video->nominalFrameRate, 30.0);
    auto audio = asset.firstTrack(MediaType::audio);
    ASSERT_TRUE(audio.has_value());
    EXPECT_EQ(audio->codecName, "aac");
    AssetReader reader(asset, *video);
    auto frames = readAllFrames(reader);
    ASSERT_EQ(frames.size(), 60u);
    EXPECT_EQ(frames.back().time, MediaTime(59, 30));
}

TEST(MovieRoundTrip, DisplayMatrixComesBackAsThePreferredTransform) {
    TemporaryFolder folder;
    struct Case {
        Affine written;
        Affine probed;
    };
    // 90 degrees (a portrait phone video), 180 and 270 degrees, for 320x240.
    const Case cases[] = {
        {{0, 1, -1, 0, 240, 0}, {0, 1, -1, 0, 240, 0}},
        {{-1, 0, 0, -1, 320, 240}, {-1, 0, 0, -1, 320, 240}},
        {{0, -1, 1, 0, 0, 320}, {0, -1, 1, 0, 0, 320}},
        // A matrix without its translation still lands the picture at the origin.
        {{0, 1, -1, 0, 0, 0}, {0, 1, -1, 0, 240, 0}},
    };
    int n = 0;
    for (const Case& c : cases) {
        auto path = folder / ("turned" + std::to_string(n++) + ".mp4");
        writeTestMovie(path, TestMovie{.frameCount = 3, .transform = c.written, .hasAudio = false});
        auto video = Asset::load(path).firstTrack(MediaType::video);
        ASSERT_TRUE(video.has_value());
        EXPECT_EQ(video->preferredTransform, c.probed) << n;
        EXPECT_EQ(video->naturalSize, (Size{320, 240}));
    }
}

TEST(MovieRoundTrip, OddSizesLoseTheirLastColumnAndRow) {
    TemporaryFolder folder;
    struct Case {
        int width, height;
        Size encoded;
    };
    for (const Case& c : {Case{321, 241, {320, 240}}, Case{1, 1, {2, 2}}, Case{3, 2, {2, 2}}}) {
        auto path = folder / ("odd" + std::to_string(c.width) + ".mp4");
        writeTestMovie(
            path,
            TestMovie{.width = c.width, .height = c.height, .frameCount = 4, .hasAudio = false});
        Asset asset = Asset::load(path);
        auto video = asset.firstTrack(MediaType::video);
        ASSERT_TRUE(video.has_value());
        EXPECT_EQ(video->naturalSize, c.encoded);
        AssetReader reader(asset, *video);
        EXPECT_EQ(readAllFrames(reader).size(), 4u);
    }
}
