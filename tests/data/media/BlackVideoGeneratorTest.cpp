#include "data/media/BlackVideoGenerator.h"
#include "data/media/BlackVideoGeneratorError.h"
#include "foundation/CancellationError.h"
#include "foundation/Uuid.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "support/FileSizeLimit.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>

using vexel::BlackVideoGenerator;
using vexel::BlackVideoGeneratorError;
using vexel::testing::FileSizeLimit;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;
using namespace vexel::media;

namespace {

class BlackVideoGeneratorTest : public ::testing::Test {
protected:
    TemporaryFolder runtime;
    ScopedEnvironment xdg{"XDG_CACHE_HOME", runtime.path().string()};

    std::filesystem::path staging() const { return runtime / "vexel" / "com.vexel.staged"; }

    static BlackVideoGeneratorError::Kind failureOf(Size size, double duration, int fps) {
        try {
            BlackVideoGenerator::generate(size, duration, fps);
        } catch (const BlackVideoGeneratorError& error) {
            return error.kind();
        }
        ADD_FAILURE() << "no error";
        return {};
    }
};

} // namespace

TEST_F(BlackVideoGeneratorTest, RejectsArgumentsInOrderBeforeTouchingTheDisk) {
    using Kind = BlackVideoGeneratorError::Kind;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double duration : {0.0, -1.0, 3600.0001, nan}) {
        EXPECT_EQ(failureOf({0, 0}, duration, 0), Kind::invalidDuration) << duration;
    }
    // 3600 s passes the duration check, so the size is the first to fail.
    EXPECT_EQ(failureOf({0, 0}, 3600, 0), Kind::invalidSize);
    for (Size size : {Size{7681, 100}, Size{100, 0.5}, Size{0.9, 100}, Size{nan, 100},
                      Size{100, std::numeric_limits<double>::infinity()}, Size{-5, 100}}) {
        EXPECT_EQ(failureOf(size, 1, 0), Kind::invalidSize) << size.width << "x" << size.height;
    }
    // 7680 x 7680 (and 1.9 x 1.9, truncated to 1) pass, so the rate fails.
    EXPECT_EQ(failureOf({7680, 7680}, 1, 0), Kind::invalidFPS);
    EXPECT_EQ(failureOf({1.9, 1.9}, 1, 31), Kind::invalidFPS);
    EXPECT_FALSE(std::filesystem::exists(staging()));
    EXPECT_STREQ(BlackVideoGeneratorError::invalidFPS().what(), "invalidFPS");
}

TEST_F(BlackVideoGeneratorTest, WritesBlackFramesFromZeroAtTheGivenRate) {
    // 0.01 s at 1 frame per second: ceil(0.01) + 1 = 2 frames, at 0 and 1 s.
    auto url = BlackVideoGenerator::generate({64, 36}, 0.01, 1);
    EXPECT_EQ(url.parent_path(), staging());
    std::string name = url.filename().string();
    ASSERT_EQ(name.size(), 6u + 36 + 4);
    EXPECT_EQ(name.substr(0, 6), "black_");
    EXPECT_TRUE(vexel::Uuid::parse(name.substr(6, 36)).has_value());
    EXPECT_EQ(name.substr(42), ".mp4");

    Asset asset = Asset::load(url);
    ASSERT_EQ(asset.tracks.size(), 1u);
    const AssetTrack& video = asset.tracks[0];
    EXPECT_EQ(video.codecName, "h264");
    EXPECT_EQ(video.naturalSize, (Size{64, 36}));
    EXPECT_EQ(asset.duration, MediaTime(2, 1));
    AssetReader reader(asset, video);
    ASSERT_TRUE(reader.startReading());
    std::vector<MediaTime> times;
    while (auto frame = reader.copyNextVideoFrame()) {
        times.push_back(frame->time);
        const std::uint8_t* p = frame->buffer.row(18) + 4 * 32;
        EXPECT_LT(p[0] + p[1] + p[2], 12);
    }
    EXPECT_EQ(times, (std::vector<MediaTime>{MediaTime(0, 1), MediaTime(1, 1)}));

    // 30 frames per second, 2.5 s: 76 frames, the last at 2.5 s showing for
    // 1/30 s; odd sizes work.
    auto fast = BlackVideoGenerator::generate({33, 17}, 2.5, 30);
    EXPECT_NE(fast, url);
    Asset fastAsset = Asset::load(fast);
    EXPECT_EQ(fastAsset.duration, MediaTime(76, 30));
    EXPECT_EQ(fastAsset.tracks[0].nominalFrameRate, 30.0);
}

TEST_F(BlackVideoGeneratorTest, SameArgumentsWriteDifferentFiles) {
    auto first = BlackVideoGenerator::generate({16, 16}, 1, 1);
    auto second = BlackVideoGenerator::generate({16, 16}, 1, 1);
    EXPECT_NE(first, second);
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(second));
}

TEST_F(BlackVideoGeneratorTest, AFailingWriterEndsTheWaitRemovesTheFileAndReports) {
    std::filesystem::create_directories(staging());
    try {
        // Writing fails within the first packets, while frames wait for the
        // encoder; a wait that ignored the failed writer would never end.
        FileSizeLimit limit(512);
        BlackVideoGenerator::generate({64, 64}, 3600, 30);
        FAIL() << "expected writerFailed";
    } catch (const BlackVideoGeneratorError& error) {
        EXPECT_EQ(error.kind(), BlackVideoGeneratorError::Kind::writerFailed);
        EXPECT_NE(error.detail().find("File too large"), std::string::npos) << error.detail();
    }
    EXPECT_TRUE(std::filesystem::is_empty(staging()));
}

TEST_F(BlackVideoGeneratorTest, ACancelledMovieIsThrownOnAndLeavesNoFile) {
    std::stop_source before;
    before.request_stop();
    EXPECT_THROW(BlackVideoGenerator::generate({16, 16}, 10, 1, before.get_token()),
                 vexel::CancellationError);
    EXPECT_TRUE(std::filesystem::is_empty(staging()));

    // Cancelled in the middle of an hour at 30 frames per second, once the
    // file has begun.
    std::stop_source during;
    std::thread canceller([&] {
        while (std::filesystem::is_empty(staging())) {
            std::this_thread::yield();
        }
        during.request_stop();
    });
    EXPECT_THROW(BlackVideoGenerator::generate({64, 64}, 3600, 30, during.get_token()),
                 vexel::CancellationError);
    canceller.join();
    EXPECT_TRUE(std::filesystem::is_empty(staging()));
}
