// Interlaced 1080i25 H.264, as cameras record it: read whole through
// AssetReader, which deinterlaces every frame, beside the same decode and
// conversion to BGRA with the fields left woven, in the same run (CPU time
// of every thread); and played in real time through the player, counting
// frames that came late or not at all.

#include "BusyFrames.h"
#include "platform/media/AssetReader.h"
#include "platform/media/detail/TrackInput.h"
#include "support/ForeignMedia.h"
#include "support/InterleavedBenchmarks.h"
#include "support/PlayThrough.h"
#include "support/ReadEveryFrame.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <chrono>
#include <cstring>

using namespace vexel::media;
using namespace vexel::playback;

namespace {

constexpr int kFrames = 250;
constexpr int kBusyFrames = 30;

// 10 s whose two fields of every frame come from two different busy
// pictures, a field's time apart.
const std::filesystem::path& interlacedMovie() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path written = vexel::bench::scratchPath("interlaced-1080i25.mp4");
        const std::vector<PixelBuffer> busy = vexel::bench::busyFrames(kBusyFrames, 6);
        vexel::testing::ForeignVideo video{
            .width = 1920,
            .height = 1080,
            .frameCount = kFrames,
            .fields = vexel::testing::FieldOrder::topFieldFirst,
            .options = {{"preset", "veryfast"}},
            .paint = [&](int index, std::uint8_t* bgra, int stride, int width, int height) {
                for (int y = 0; y < height; ++y) {
                    const PixelBuffer& field =
                        busy[static_cast<std::size_t>(2 * index + y % 2) % busy.size()];
                    std::memcpy(bgra + static_cast<std::ptrdiff_t>(y) * stride, field.row(y),
                                static_cast<std::size_t>(width) * 4);
                }
            }};
        vexel::testing::writeForeignMedia(written, {.container = "mp4", .video = video});
        return written;
    }();
    return path;
}

const Asset& interlacedAsset() {
    static const Asset asset = Asset::load(interlacedMovie());
    return asset;
}

void readDeinterlaced(benchmark::State& state) {
    const Asset& asset = interlacedAsset();
    vexel::bench::readWholeVideoTrack(state, asset, *asset.firstTrack(MediaType::video));
}

// The reader's own decoding and conversion, with nothing between them.
void decodeWoven(benchmark::State& state) {
    const Asset& asset = interlacedAsset();
    const AssetTrack track = *asset.firstTrack(MediaType::video);
    std::int64_t frames = 0;
    for (auto _ : state) {
        std::atomic<bool> interrupt{false};
        vexel::media::detail::TrackInput input =
            vexel::media::detail::openTrackInput(asset, track, 0, interrupt);
        std::optional<PixelBufferPool> pool;
        vexel::media::ffmpeg::Scaler scaler;
        auto packet = vexel::media::ffmpeg::makePacket();
        auto frame = vexel::media::ffmpeg::makeFrame();
        bool ended = false;
        while (true) {
            const int received = avcodec_receive_frame(input.decoder.get(), frame.get());
            if (received == 0) {
                PixelBuffer buffer =
                    vexel::media::detail::toPixelBuffer(*frame, track, pool, scaler, 16);
                benchmark::DoNotOptimize(buffer.data());
                ++frames;
                continue;
            }
            if (received != AVERROR(EAGAIN) || ended) {
                break;
            }
            if (av_read_frame(input.format.get(), packet.get()) < 0) {
                avcodec_send_packet(input.decoder.get(), nullptr);
                ended = true;
                continue;
            }
            if (packet->stream_index == input.stream->index) {
                avcodec_send_packet(input.decoder.get(), packet.get());
            }
            av_packet_unref(packet.get());
        }
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

// Plays the 10 s through in real time. A frame is late when it is handed over
// after the next one was due; a frame that never comes counts as late too.
void playDeinterlaced(benchmark::State& state) {
    const PlayerItem item =
        vexel::bench::wholeClip(std::make_shared<const Asset>(interlacedAsset()));
    const auto expected =
        static_cast<std::int64_t>(std::ceil(item.duration().seconds() * 30 - 1e-9));
    std::int64_t late = 0;
    std::int64_t shownFrames = 0;
    for (auto _ : state) {
        const vexel::bench::PlayedThrough played = vexel::bench::playThrough(item);
        state.SetIterationTime(played.seconds);
        late += played.late + expected - static_cast<std::int64_t>(played.indices.size());
        shownFrames += static_cast<std::int64_t>(played.indices.size());
        if (!std::is_sorted(played.indices.begin(), played.indices.end())) {
            state.SkipWithError("frames out of order");
        }
    }
    state.counters["frames_shown"] = static_cast<double>(shownFrames);
    state.counters["late_or_missing"] = static_cast<double>(late);
}

BENCHMARK(readDeinterlaced)
    ->Name("AssetReader_h264_1080i25_deinterlaced_to_bgra")
    ->Repetitions(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(decodeWoven)
    ->Name("Decode_h264_1080i25_woven_to_bgra")
    ->Repetitions(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(playDeinterlaced)
    ->Name("Player_h264_1080i25_deinterlaced_10s_realtime")
    ->Iterations(1)
    ->Repetitions(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    vexel::bench::InterleavedArguments arguments(argc, argv);
    QCoreApplication application(arguments.count(), arguments.values());
    vexel::bench::runPreparedBenchmarks(nullptr, [] { interlacedAsset(); });
    std::filesystem::remove(interlacedMovie());
    return 0;
}
