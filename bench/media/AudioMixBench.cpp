// Mixing 60 s of five audio tracks (four at 1.0x, one at 1.5x keeping pitch)
// through AudioMixer, beside decoding the same five sources alone with
// AssetReader in the same run. Prints how many times faster than real time
// the mix runs.

#include "BusyFrames.h"
#include "platform/media/AssetReader.h"
#include "platform/media/AudioMixer.h"
#include "platform/media/MovieWriter.h"
#include "platform/media/MutableComposition.h"
#include "platform/media/detail/WorkerPool.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <thread>

using namespace vexel::media;

namespace {

constexpr int kMixSeconds = 60;

// 90 s of a chord, enough for 60 s at 1.5x.
const std::shared_ptr<const Asset>& source() {
    static const std::shared_ptr<const Asset> asset = [] {
        auto path = vexel::bench::scratchPath("mix-source.m4a");
        std::filesystem::remove(path);
        MovieWriter writer(path, FileType::mp4);
        AudioWriterInput& input = writer.addAudioInput({});
        if (!writer.startWriting()) {
            throw std::runtime_error(writer.error()->message());
        }
        const int chunk = 4410;
        for (std::int64_t start = 0; start < 90 * 44100; start += chunk) {
            AudioSamples samples{MediaTime(start, 44100), 44100, 2, {}};
            for (std::int64_t i = start; i < start + chunk; ++i) {
                double t = static_cast<double>(i) / 44100;
                double v = std::sin(2 * std::numbers::pi * 220 * t) +
                           0.5 * std::sin(2 * std::numbers::pi * 330 * t);
                auto value = static_cast<std::int16_t>(std::lround(8000 * v));
                samples.samples.push_back(value);
                samples.samples.push_back(value);
            }
            input.append(samples);
        }
        input.markAsFinished();
        if (!writer.finishWriting()) {
            throw std::runtime_error(writer.error()->message());
        }
        return std::make_shared<const Asset>(Asset::load(path));
    }();
    return asset;
}

Composition fiveTracks(AudioMix& mix) {
    MutableComposition composition;
    const int track = source()->firstTrack(MediaType::audio)->trackID;
    MediaTime minute(kMixSeconds, 1);
    for (int i = 0; i < 5; ++i) {
        CompositionTrack* added = composition.addTrack(MediaType::audio);
        MediaTime length = i == 4 ? MediaTime(kMixSeconds * 3, 2) : minute;
        added->insertTimeRange({MediaTime::zero(), length}, source(), track, MediaTime::zero());
        if (i == 4) {
            added->scaleTimeRange({MediaTime::zero(), length}, minute);
        }
        AudioMixInputParameters parameters(added->trackID());
        parameters.setVolumeRamp(0, 0.8f, {MediaTime::zero(), MediaTime(2, 1)});
        mix.inputParameters.push_back(parameters);
    }
    return composition.copy();
}

void audioMix(benchmark::State& state) {
    AudioMix mix;
    Composition composition = fiveTracks(mix);
    detail::WorkerPool pool(std::thread::hardware_concurrency());
    for (auto _ : state) {
        AudioMixer mixer(
            composition, mix, MediaTime::zero(),
            [&](std::size_t count, const auto& body) { pool.parallelFor(count, body); });
        std::size_t frames = 0;
        while (auto run = mixer.next(8192)) {
            frames += run->frameCount();
        }
        benchmark::DoNotOptimize(frames);
    }
    state.counters["x_real_time"] = benchmark::Counter(
        kMixSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The sources alone: four 60 s and one 90 s decodes, side by side.
void decodeAlone(benchmark::State& state) {
    const AssetTrack track = *source()->firstTrack(MediaType::audio);
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int i = 0; i < 5; ++i) {
            threads.emplace_back([&, i] {
                MediaTime length =
                    i == 4 ? MediaTime(kMixSeconds * 3, 2) : MediaTime(kMixSeconds, 1);
                AssetReader reader(*source(), track,
                                   {.timeRange = MediaTimeRange{MediaTime::zero(), length},
                                    .audioSampleRate = 44100,
                                    .audioChannelCount = 2});
                reader.startReading();
                while (auto samples = reader.copyNextAudioSamples()) {
                    benchmark::DoNotOptimize(samples->samples.data());
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }
    state.counters["x_real_time"] = benchmark::Counter(
        kMixSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(decodeAlone)
    ->Name("AssetReader_five_aac_sources_alone")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);
BENCHMARK(audioMix)
    ->Name("AudioMixer_60s_four_tracks_at_1x_one_at_1.5x")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    benchmark::Initialize(&argc, argv);
    source();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(source()->path);
    return 0;
}
