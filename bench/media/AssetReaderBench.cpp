// Decoding a 1080p30 H.264 file to BGRA through AssetReader.

#include "BusyMovie.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "platform/media/MovieWriter.h"
#include "support/ReadEveryFrame.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <stdexcept>

using namespace vexel::media;

namespace {

constexpr int kFrames = 300;

// Grain everywhere (about 25 Mbit/s), and lighter grain (a camera's rate).
const std::filesystem::path& movie(int grain) {
    static const std::filesystem::path busy =
        vexel::bench::writeBusyMovie("decode-busy.mp4", {.frameCount = kFrames, .grain = 32});
    static const std::filesystem::path light =
        vexel::bench::writeBusyMovie("decode-light.mp4", {.frameCount = kFrames});
    return grain == 32 ? busy : light;
}

void decodeToBgra(benchmark::State& state) {
    const std::filesystem::path& path = movie(static_cast<int>(state.range(0)));
    Asset asset = Asset::load(path);
    vexel::bench::readWholeVideoTrack(state, asset, *asset.firstTrack(MediaType::video));
    state.counters["bitrate_mbps"] =
        static_cast<double>(std::filesystem::file_size(path)) * 8 / (kFrames / 30.0) / 1e6;
}

BENCHMARK(decodeToBgra)
    ->Name("AssetReader_h264_1080p30_to_bgra/grain")
    ->Arg(32)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    benchmark::Initialize(&argc, argv);
    movie(32);
    movie(6);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(movie(32));
    std::filesystem::remove(movie(6));
    return 0;
}
