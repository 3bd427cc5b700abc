// Writing busy 1080p frames through MovieWriter, beside the same frames
// already in YUV 4:2:0 through libx264 alone with the same settings: the
// encoder's own limit. Prints the writer's time over the limit's.

#include "BusyFrames.h"
#include "platform/media/MovieWriter.h"
#include "support/InterleavedBenchmarks.h"
#include "support/RunTimes.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel::media;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 300;
constexpr int kDistinct = 30;

const std::vector<PixelBuffer>& frames() {
    static const std::vector<PixelBuffer> made = vexel::bench::busyFrames(kDistinct);
    return made;
}

// The same conversion the writer makes, done ahead of time.
const std::vector<AVFrame*>& yuvFrames() {
    static const std::vector<AVFrame*> made = [] {
        std::vector<AVFrame*> out;
        SwsContext* sws =
            sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGRA, kWidth, kHeight, AV_PIX_FMT_YUV420P,
                           SWS_BILINEAR, nullptr, nullptr, nullptr);
        sws_setColorspaceDetails(sws, sws_getCoefficients(AVCOL_SPC_BT709), 1,
                                 sws_getCoefficients(AVCOL_SPC_BT709), 0, 0, 1 << 16, 1 << 16);
        for (const PixelBuffer& buffer : frames()) {
            AVFrame* frame = av_frame_alloc();
            frame->format = AV_PIX_FMT_YUV420P;
            frame->width = kWidth;
            frame->height = kHeight;
            av_frame_get_buffer(frame, 0);
            const std::uint8_t* src[] = {buffer.data()};
            const int stride[] = {static_cast<int>(buffer.bytesPerRow())};
            sws_scale(sws, src, stride, 0, kHeight, frame->data, frame->linesize);
            frame->color_range = AVCOL_RANGE_MPEG;
            frame->colorspace = AVCOL_SPC_BT709;
            frame->color_primaries = AVCOL_PRI_BT709;
            frame->color_trc = AVCOL_TRC_BT709;
            out.push_back(frame);
        }
        sws_freeContext(sws);
        return out;
    }();
    return made;
}

void encoderLimit(benchmark::State& state) {
    const auto& yuv = yuvFrames();
    for (auto _ : state) {
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        AVCodecContext* c = avcodec_alloc_context3(codec);
        c->width = kWidth;
        c->height = kHeight;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->time_base = AVRational{1, 30 * 600};
        c->framerate = AVRational{30, 1};
        c->sample_aspect_ratio = AVRational{1, 1};
        c->color_range = AVCOL_RANGE_MPEG;
        c->colorspace = AVCOL_SPC_BT709;
        c->color_primaries = AVCOL_PRI_BT709;
        c->color_trc = AVCOL_TRC_BT709;
        c->thread_count = 0;
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "preset", "fast", 0);
        av_dict_set(&options, "crf", "20", 0);
        if (avcodec_open2(c, codec, &options) < 0) {
            throw std::runtime_error("libx264 does not open");
        }
        av_dict_free(&options);
        AVFrame* frame = av_frame_alloc();
        AVPacket* packet = av_packet_alloc();
        std::size_t bytes = 0;
        auto drain = [&] {
            while (avcodec_receive_packet(c, packet) == 0) {
                bytes += static_cast<std::size_t>(packet->size);
                av_packet_unref(packet);
            }
        };
        for (int i = 0; i < kFrames; ++i) {
            av_frame_ref(frame, yuv[i % kDistinct]);
            frame->pts = static_cast<std::int64_t>(i) * 600;
            frame->pkt_duration = 600;
            avcodec_send_frame(c, frame);
            av_frame_unref(frame);
            drain();
        }
        avcodec_send_frame(c, nullptr);
        drain();
        benchmark::DoNotOptimize(bytes);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&c);
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(kFrames * state.iterations()),
                                               benchmark::Counter::kIsRate);
}

void movieWriter(benchmark::State& state) {
    const auto& bgra = frames();
    auto path = vexel::bench::scratchPath("writer.mp4");
    for (auto _ : state) {
        std::filesystem::remove(path);
        MovieWriter writer(path, FileType::mp4);
        VideoWriterInput& input = writer.addVideoInput({.width = kWidth, .height = kHeight});
        if (!writer.startWriting()) {
            throw std::runtime_error(writer.error()->message());
        }
        for (int i = 0; i < kFrames; ++i) {
            input.append(bgra[i % kDistinct], MediaTime(i, 30));
        }
        input.markAsFinished();
        if (!writer.finishWriting()) {
            throw std::runtime_error(writer.error()->message());
        }
    }
    std::filesystem::remove(path);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(kFrames * state.iterations()),
                                               benchmark::Counter::kIsRate);
}

BENCHMARK(encoderLimit)
    ->Name("libx264_alone_yuv420p_1080p_300_frames")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(movieWriter)
    ->Name("MovieWriter_bgra_1080p_300_frames")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    // Alternate the two so that a busy spell of the machine hits both alike.
    vexel::bench::RunTimesReporter reporter;
    vexel::bench::runInterleavedBenchmarks(argc, argv, &reporter, [] {
        frames();
        yuvFrames();
    });
    auto limit = reporter.fastestAndMedian("libx264_alone");
    auto writer = reporter.fastestAndMedian("MovieWriter");
    if (limit.first > 0 && writer.first > 0) {
        std::printf(
            "writer time / encoder limit: fastest runs %.3f, medians %.3f (target <= 1.1)\n",
            writer.first / limit.first, writer.second / limit.second);
    }
    return 0;
}
