#include "platform/media/MovieWriter.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <vector>

using namespace vexel::media;
using vexel::testing::makeTestFrame;
using vexel::testing::TemporaryFolder;

namespace {

// The indices of the key frames of a movie's only track, in file order.
std::vector<int> keyFrames(const std::filesystem::path& path) {
    AVFormatContext* format = nullptr;
    EXPECT_EQ(avformat_open_input(&format, path.c_str(), nullptr, nullptr), 0);
    std::vector<int> keys;
    AVPacket* packet = av_packet_alloc();
    for (int index = 0; av_read_frame(format, packet) == 0; ++index) {
        if (packet->flags & AV_PKT_FLAG_KEY) {
            keys.push_back(index);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return keys;
}

std::vector<int> writeAndFindKeyFrames(const std::filesystem::path& path, VideoCodec codec,
                                       int maxKeyFrameInterval) {
    MovieWriter writer(path, FileType::mov);
    auto& video = writer.addVideoInput(
        {.codec = codec, .width = 64, .height = 48, .maxKeyFrameInterval = maxKeyFrameInterval});
    EXPECT_TRUE(writer.startWriting());
    PixelBufferPool pool(64, 48);
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(video.append(makeTestFrame(pool, i % 3), MediaTime(i, 30)));
    }
    video.markAsFinished();
    EXPECT_TRUE(writer.finishWriting());
    return keyFrames(path);
}

} // namespace

TEST(KeyFrameInterval, BoundsTheDistanceBetweenKeyFramesOfBothCodecs) {
    TemporaryFolder folder;
    for (VideoCodec codec : {VideoCodec::h264, VideoCodec::hevc}) {
        SCOPED_TRACE(codec == VideoCodec::h264 ? "h264" : "hevc");
        // Frames this alike give the encoder no reason of its own for a key frame.
        EXPECT_EQ(writeAndFindKeyFrames(folder / "default.mov", codec, 0), std::vector<int>{0});
        std::filesystem::remove(folder / "default.mov");
        std::vector<int> keys = writeAndFindKeyFrames(folder / "bounded.mov", codec, 30);
        // The encoder may place a key frame early to close a run of B-frames.
        ASSERT_GE(keys.size(), 4u);
        EXPECT_EQ(keys.front(), 0);
        for (std::size_t i = 1; i < keys.size(); ++i) {
            EXPECT_LE(keys[i] - keys[i - 1], 30) << i;
        }
        EXPECT_GT(keys.back(), 100 - 30);
        std::filesystem::remove(folder / "bounded.mov");
    }
}
