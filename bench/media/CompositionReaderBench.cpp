// Reading a 10 s two-track 1080p30 composition (layer form, a 1 s opacity
// cross-fade) through CompositionReader, beside decoding the same two source
// ranges alone with AssetReader in the same run; and the peak resident memory
// of reading a 10-minute 1080p composition.

#include "BusyMovie.h"
#include "platform/media/AssetReader.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MovieWriter.h"
#include "platform/media/MutableComposition.h"
#include "support/InterleavedBenchmarks.h"
#include "support/ReadEveryFrame.h"
#include "support/ResidentMemory.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace vexel::media;

namespace {

const MediaTime kPart(11, 2); // 5.5 s of each source

std::shared_ptr<const Asset> loadedSource(const std::string& name, int seed) {
    return std::make_shared<const Asset>(
        Asset::load(vexel::bench::writeBusyMovie(name, {.seed = seed})));
}

const std::shared_ptr<const Asset>& source(int which) {
    static const std::shared_ptr<const Asset> a = loadedSource("reader-a.mp4", 0);
    static const std::shared_ptr<const Asset> b = loadedSource("reader-b.mp4", 7);
    return which == 0 ? a : b;
}

int videoTrackOf(const Asset& asset) {
    return asset.firstTrack(MediaType::video)->trackID;
}

// A on [0, 5.5 s), B on [4.5 s, 10 s), B fading in over A in [4.5 s, 5.5 s).
struct TwoTrackComposition {
    Composition composition;
    VideoComposition video;
};

TwoTrackComposition crossFade(int repeats) {
    MutableComposition mutableComposition;
    CompositionTrack* first = mutableComposition.addTrack(MediaType::video);
    CompositionTrack* second = mutableComposition.addTrack(MediaType::video);
    for (int r = 0; r < repeats; ++r) {
        MediaTime base = MediaTime(10 * r, 1);
        first->insertTimeRange({MediaTime::zero(), kPart}, source(0), videoTrackOf(*source(0)),
                               base);
        second->insertTimeRange({MediaTime::zero(), kPart}, source(1), videoTrackOf(*source(1)),
                                base + MediaTime(9, 2));
    }
    TwoTrackComposition result{mutableComposition.copy(), {}};
    VideoCompositionLayerInstruction top;
    top.trackID = second->trackID();
    VideoCompositionLayerInstruction bottom;
    bottom.trackID = first->trackID();
    for (int r = 0; r < repeats; ++r) {
        MediaTime base = MediaTime(10 * r, 1);
        top.opacity.setValue(0, base);
        top.opacity.setRamp(0, 1, {base + MediaTime(9, 2), MediaTime(1, 1)});
    }
    result.video.renderSize = {1920, 1080};
    result.video.instructions = {std::make_shared<LayerVideoCompositionInstruction>(
        MediaTimeRange{MediaTime::zero(), result.composition.duration()},
        std::vector<VideoCompositionLayerInstruction>{top, bottom})};
    return result;
}

std::int64_t readAll(const TwoTrackComposition& made) {
    CompositionReader reader(made.composition);
    reader.addVideoOutput(made.video);
    if (!reader.startReading()) {
        throw std::runtime_error(reader.error()->message());
    }
    const std::int64_t frames = vexel::bench::readEveryVideoFrame(reader);
    if (reader.status() != CompositionReader::Status::completed) {
        throw std::runtime_error("composition reading failed");
    }
    return frames;
}

void compositionReader(benchmark::State& state) {
    TwoTrackComposition made = crossFade(1);
    std::int64_t frames = 0;
    for (auto _ : state) {
        frames += readAll(made);
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

// The decoding the composition needs, alone, in the composition's order: one
// source range after the other (the second track is not shown before 4.5 s).
void decodeInTurn(benchmark::State& state) {
    std::int64_t frames = 0;
    for (auto _ : state) {
        for (int which = 0; which < 2; ++which) {
            const Asset& asset = *source(which);
            AssetReader reader(asset, *asset.firstTrack(MediaType::video),
                               {.timeRange = MediaTimeRange{MediaTime::zero(), kPart}});
            reader.startReading();
            frames += vexel::bench::readEveryVideoFrame(reader);
        }
    }
    state.counters["source_fps"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

// Both source ranges side by side: the most two decoders give on this machine.
void decodeAlone(benchmark::State& state) {
    std::int64_t frames = 0;
    for (auto _ : state) {
        std::atomic<std::int64_t> decoded{0};
        std::vector<std::thread> threads;
        for (int which = 0; which < 2; ++which) {
            threads.emplace_back([&, which] {
                const Asset& asset = *source(which);
                AssetReader reader(asset, *asset.firstTrack(MediaType::video),
                                   {.timeRange = MediaTimeRange{MediaTime::zero(), kPart}});
                reader.startReading();
                decoded += vexel::bench::readEveryVideoFrame(reader);
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        frames += decoded.load();
    }
    state.counters["source_fps"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

// Ten minutes of the same cross-fade: memory must not grow with the length.
// Writing the sources peaks higher than reading, so the reading's own peak
// is sampled while it runs.
void tenMinutes(benchmark::State& state) {
    TwoTrackComposition made = crossFade(60);
    std::int64_t frames = 0;
    double before = vexel::bench::residentMegabytes();
    std::atomic<bool> reading{true};
    std::atomic<double> peak{before};
    std::thread sampler([&] {
        while (reading.load()) {
            peak.store(std::max(peak.load(), vexel::bench::residentMegabytes()));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    for (auto _ : state) {
        frames += readAll(made);
    }
    reading.store(false);
    sampler.join();
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["rss_before_mb"] = before;
    state.counters["peak_rss_while_reading_mb"] = peak.load();
}

BENCHMARK(decodeInTurn)
    ->Name("AssetReader_two_1080p30_sources_in_turn")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(decodeAlone)
    ->Name("AssetReader_two_1080p30_sources_side_by_side")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(compositionReader)
    ->Name("CompositionReader_10s_two_track_1080p30_crossfade")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);
BENCHMARK(tenMinutes)
    ->Name("CompositionReader_10min_1080p30_peak_memory")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    // Alternate the runs so that a busy spell of the machine hits all alike.
    vexel::bench::runInterleavedBenchmarks(argc, argv, nullptr, [] {
        source(0);
        source(1);
    });
    std::filesystem::remove(source(0)->path);
    std::filesystem::remove(source(1)->path);
    return 0;
}
