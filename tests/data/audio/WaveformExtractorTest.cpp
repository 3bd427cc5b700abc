#include "data/audio/WaveformExtractor.h"
#include "data/audio/WaveformExtractorError.h"
#include "foundation/CancellationError.h"
#include "platform/media/MediaError.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"
#include "support/media/WavWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <map>
#include <utility>
#include <vector>

using vexel::CancellationError;
using vexel::WaveformExtractor;
using vexel::WaveformExtractorError;
using vexel::media::MediaError;
using vexel::testing::TemporaryFolder;
using vexel::testing::TestMovie;
using vexel::testing::writeTestMovie;
using vexel::testing::writeWav;

namespace {

float peakOf(int amplitude) {
    return static_cast<float>(amplitude) / 32767.0f;
}

// A silent WAV file with a few values set.
void writeSilenceWith(const std::filesystem::path& path, int rate, int channels,
                      std::size_t valueCount, const std::map<std::size_t, std::int16_t>& values) {
    std::vector<std::int16_t> samples(valueCount, 0);
    for (auto [index, value] : values) {
        samples.at(index) = value;
    }
    writeWav(path, rate, channels, samples);
}

} // namespace

TEST(WaveformExtractor, NonPositiveBucketCountsGiveNothingWithoutOpeningTheFile) {
    TemporaryFolder folder;
    EXPECT_TRUE(WaveformExtractor::extract(folder / "missing.wav", 0).empty());
    EXPECT_TRUE(WaveformExtractor::extract(folder / "missing.wav", -5).empty());

    // With buckets to fill, a file that cannot be opened is the media layer's failure.
    std::ofstream(folder / "notes.wav") << "plain text, not sound";
    for (const char* name : {"missing.wav", "notes.wav"}) {
        try {
            WaveformExtractor::extract(folder / name, 200);
            ADD_FAILURE() << "no error for " << name;
        } catch (const MediaError& error) {
            EXPECT_EQ(error.kind(), MediaError::Kind::cannotOpen) << name;
        }
    }
}

TEST(WaveformExtractor, PutsEveryValueInTheBucketOfItsTime) {
    struct Case {
        const char* name;
        int rate;
        int channels;
        std::size_t valueCount;
        int bucketCount;
        std::map<std::size_t, std::int16_t> values;
        std::size_t expectedSize;
        std::map<std::size_t, float> expected; // every other bucket is 0
    };
    const Case cases[] = {
        // 2 s mono: 441 values a bucket, so value 441 opens bucket 1.
        {"mono", 44100, 1, 88200, 200, {{441, -32768}}, 200, {{1, 1.0f}}},
        {"mono edges",
         44100,
         1,
         88200,
         200,
         {{0, 100}, {440, 16384}, {88199, 32767}},
         200,
         {{0, peakOf(16384)}, {199, 1.0f}}},
        // Two channels count twice the values: one second in is bucket 100,
        // not the last bucket.
        {"stereo",
         44100,
         2,
         176400,
         200,
         {{88200, 20000}, {88199, -1000}, {176399, 300}},
         200,
         {{100, peakOf(20000)}, {99, peakOf(1000)}, {199, peakOf(300)}}},
        {"stereo 48 kHz",
         48000,
         2,
         192000,
         200,
         {{48001, -12345}, {47999, 7}, {191998, 5000}},
         200,
         {{50, peakOf(12345)}, {49, peakOf(7)}, {199, peakOf(5000)}}},
        // Fewer values than buckets: one value a bucket, the rest stay 0.
        {"short",
         44100,
         1,
         50,
         200,
         {{0, 1000}, {49, -2000}},
         200,
         {{0, peakOf(1000)}, {49, peakOf(2000)}}},
        // Capped at 10000 buckets of 8 values.
        {"many buckets", 44100, 1, 88200, 20000, {{441, 4000}}, 10000, {{55, peakOf(4000)}}},
    };
    TemporaryFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = folder / (std::string(c.name) + ".wav");
        writeSilenceWith(path, c.rate, c.channels, c.valueCount, c.values);
        std::vector<float> expected(c.expectedSize, 0.0f);
        for (auto [bucket, value] : c.expected) {
            expected.at(bucket) = value;
        }
        EXPECT_EQ(WaveformExtractor::extract(path, c.bucketCount), expected);
    }
}

TEST(WaveformExtractor, SpreadsDecodedAacOverEveryBucket) {
    TemporaryFolder folder;
    auto path = folder / "tone.m4a";
    // A steady tone of amplitude 12000, two seconds of 44.1 kHz stereo AAC.
    writeTestMovie(path, TestMovie{.frameCount = 60, .hasVideo = false});
    std::vector<float> peaks = WaveformExtractor::extract(path, 200);
    ASSERT_EQ(peaks.size(), 200u);
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        EXPECT_NEAR(peaks[i], peakOf(12000), 0.05) << "bucket " << i;
    }
}

TEST(WaveformExtractor, FilesWithoutSoundGiveNothing) {
    TemporaryFolder folder;
    writeTestMovie(folder / "silent.mp4", TestMovie{.frameCount = 10, .hasAudio = false});
    EXPECT_TRUE(WaveformExtractor::extract(folder / "silent.mp4", 200).empty());
    writeWav(folder / "empty.wav", 44100, 2, {});
    EXPECT_TRUE(WaveformExtractor::extract(folder / "empty.wav", 200).empty());
}

TEST(WaveformExtractor, SoundThatCannotBeDecodedFailsToRead) {
    TemporaryFolder folder;
    auto path = folder / "strange.wav";
    writeSilenceWith(path, 44100, 1, 4410, {{10, 500}});
    {
        // A format code no decoder knows.
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(20);
        file.write("\x34\x12", 2);
    }
    try {
        WaveformExtractor::extract(path, 200);
        ADD_FAILURE() << "no error";
    } catch (const WaveformExtractorError& error) {
        EXPECT_EQ(error.kind(), WaveformExtractorError::Kind::readFailed);
        EXPECT_NE(error.detail().find("strange.wav"), std::string::npos) << error.detail();
        EXPECT_EQ(std::string(error.what()).rfind("readFailed(\"", 0), 0u) << error.what();
    }
}

TEST(WaveformExtractor, StopsWhenCancelled) {
    TemporaryFolder folder;
    auto path = folder / "sound.wav";
    writeSilenceWith(path, 44100, 2, 8820, {});
    std::stop_source cancelled;
    cancelled.request_stop();
    EXPECT_THROW(WaveformExtractor::extract(path, 200, cancelled.get_token()), CancellationError);
}

TEST(WaveformExtractor, EstimatesValuesFromTheTracksOwnFormat) {
    using vexel::media::MediaTime;
    struct Case {
        MediaTime duration;
        int rate;
        int channels;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {MediaTime(2, 1), 44100, 1, 88200},
        {MediaTime(88200, 44100), 44100, 2, 176400},
        {MediaTime(1201, 600), 48000, 6, 576480},
        {MediaTime(2, 1), 0, 0, 88200},               // unknown format: 44.1 kHz mono
        {MediaTime(1, 1000000000), 44100, 1, 1},      // at least one value
        {MediaTime(100000001, 100000000), 10, 1, 10}, // rounded down
        {MediaTime(0, 600), 44100, 2, std::nullopt},
        {MediaTime(-600, 600), 44100, 2, std::nullopt},
        // More values than can be counted.
        {MediaTime(std::numeric_limits<std::int64_t>::max(), 600), 48000, 2, std::nullopt},
        {MediaTime(100000000000, 1), 48000, 2, std::nullopt},
        {MediaTime(1999, 1000), std::numeric_limits<int>::max(), 65535, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WaveformExtractor::estimatedValueCount(c.duration, c.rate, c.channels),
                  c.expected)
            << c.duration << ", " << c.rate << " Hz, " << c.channels << " channels";
    }
}
