// A phone-style file: a variable frame rate with B-frames, written with the
// layer's own encoder at irregular times.

#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "platform/media/MovieWriter.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <vector>

using namespace vexel::media;
using vexel::testing::makeTestFrame;
using vexel::testing::TemporaryFolder;

namespace {

// Frame times in 1/30 s: runs of camera-rate frames, then frames held for
// 1/10 s (a dim scene), ending on a run of long frames.
std::vector<int> irregularTicks() {
    std::vector<int> ticks;
    int tick = 0;
    for (int i = 0; i < 48; ++i) {
        ticks.push_back(tick);
        tick += (i >= 36 || i % 4 == 3) ? 3 : 1;
    }
    return ticks;
}

void writeIrregularMovie(const std::filesystem::path& path, const std::vector<int>& ticks) {
    MovieWriter writer(path, FileType::mp4);
    VideoWriterInput& video = writer.addVideoInput({.width = 160, .height = 120});
    ASSERT_TRUE(writer.startWriting());
    PixelBufferPool pool(160, 120);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        ASSERT_TRUE(
            video.append(makeTestFrame(pool, static_cast<int>(i)), MediaTime(ticks[i], 30)));
    }
    video.markAsFinished();
    ASSERT_TRUE(writer.finishWriting()) << writer.error()->message();
}

} // namespace

TEST(VariableFrameRate, TrackEndsWithItsLastDisplayedFrameAndFramesShowUntilTheNext) {
    TemporaryFolder folder;
    auto path = folder / "phone.mp4";
    const std::vector<int> ticks = irregularTicks();
    writeIrregularMovie(path, ticks);

    // The last frame shows for 1/30 s (the writer's rate).
    const MediaTime end(ticks.back() + 1, 30);
    Asset asset = Asset::load(path);
    AssetTrack video = *asset.firstTrack(MediaType::video);
    EXPECT_EQ(video.timeRange.end(), end);
    EXPECT_EQ(asset.duration, end);

    AssetReader reader(asset, video, {.timeRange = MediaTimeRange{MediaTime::zero(), end}});
    ASSERT_TRUE(reader.startReading());
    std::vector<VideoFrame> frames;
    while (auto frame = reader.copyNextVideoFrame()) {
        frames.push_back(*frame);
    }
    EXPECT_EQ(reader.status(), AssetReader::Status::completed);
    ASSERT_EQ(frames.size(), ticks.size());
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(frames[i].time, MediaTime(ticks[i], 30)) << i;
        MediaTime next = i + 1 < ticks.size() ? MediaTime(ticks[i + 1], 30) : end;
        EXPECT_EQ(frames[i].duration, next - frames[i].time) << i;
    }
}

TEST(VariableFrameRate, H264StreamTimingStatesTheFrameRate) {
    TemporaryFolder folder;
    auto path = folder / "phone.mp4";
    writeIrregularMovie(path, irregularTicks());

    // A decoder that sees only the stream (as after copying it out of the
    // container) takes its rate from the stream's own timing header.
    AVFormatContext* format = nullptr;
    ASSERT_EQ(avformat_open_input(&format, path.c_str(), nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
    AVStream* stream = format->streams[0];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    ASSERT_EQ(avcodec_open2(decoder, codec, nullptr), 0);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool decoded = false;
    while (!decoded && av_read_frame(format, packet) >= 0) {
        avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
        decoded = avcodec_receive_frame(decoder, frame) == 0;
    }
    EXPECT_TRUE(decoded);
    EXPECT_EQ(decoder->framerate.num, 30);
    EXPECT_EQ(decoder->framerate.den, 1);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
}
