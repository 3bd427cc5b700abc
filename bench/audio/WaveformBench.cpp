// Waveform peaks of an hour of sound: a 44.1 kHz stereo WAV file (target under
// 1 s) and an AAC file (target under 5 s), each beside the time it takes just
// to decode the same track through AssetReader, and for the WAV file beside
// reading its bytes: the limits the extraction sits on.

#include "data/audio/WaveformExtractor.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "platform/media/MovieWriter.h"
#include "support/media/WavWriter.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <stdexcept>
#include <system_error>
#include <vector>

using namespace vexel::media;

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kSeconds = 3600;
constexpr int kBuckets = 200;

// One second of a tone whose loudness changes with `second`, so that the
// buckets differ.
std::vector<std::int16_t> secondOfSound(int second) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(kRate) * kChannels);
    double level = 2000 + 28000 * (0.5 + 0.5 * std::sin(second * 0.01));
    for (int i = 0; i < kRate; ++i) {
        double phase = 2 * std::numbers::pi * 440.0 * i / kRate;
        auto value = static_cast<std::int16_t>(std::lround(level * std::sin(phase)));
        for (int c = 0; c < kChannels; ++c) {
            samples[static_cast<std::size_t>(i) * kChannels + c] = value;
        }
    }
    return samples;
}

// The two files, written once into a private folder that goes at exit.
class HourOfSound {
public:
    HourOfSound() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vexel-bench-waveform-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        }
        folder_ = pattern;
        wav_ = folder_ / "hour.wav";
        aac_ = folder_ / "hour.m4a";

        vexel::testing::WavWriter wav(wav_, kRate, kChannels);
        MovieWriter writer(aac_, FileType::mp4);
        AudioWriterInput& aac = writer.addAudioInput({});
        if (!writer.startWriting()) {
            throw std::runtime_error(writer.error()->message());
        }
        for (int second = 0; second < kSeconds; ++second) {
            AudioSamples run;
            run.time = MediaTime(second, 1);
            run.sampleRate = kRate;
            run.channelCount = kChannels;
            run.samples = secondOfSound(second);
            wav.append(run.samples);
            if (!aac.append(run)) {
                throw std::runtime_error("AAC append failed");
            }
        }
        wav.finish();
        aac.markAsFinished();
        if (!writer.finishWriting()) {
            throw std::runtime_error(writer.error()->message());
        }
    }
    ~HourOfSound() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    const std::filesystem::path& wav() const { return wav_; }
    const std::filesystem::path& aac() const { return aac_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path wav_;
    std::filesystem::path aac_;
};

const HourOfSound& files() {
    static const HourOfSound made;
    return made;
}

const std::filesystem::path& fileOf(const benchmark::State& state) {
    return state.range(0) == 0 ? files().wav() : files().aac();
}

void readBytes(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* file = std::fopen(files().wav().c_str(), "rb");
        std::size_t total = 0;
        while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file)) {
            total += got;
            benchmark::DoNotOptimize(buffer.data());
        }
        std::fclose(file);
        benchmark::DoNotOptimize(total);
    }
}

void decodePcm(benchmark::State& state) {
    Asset asset = Asset::load(fileOf(state));
    AssetTrack track = *asset.firstTrack(MediaType::audio);
    for (auto _ : state) {
        AssetReader reader(asset, track);
        reader.startReading();
        std::size_t values = 0;
        while (auto run = reader.copyNextAudioSamples()) {
            values += run->samples.size();
            benchmark::DoNotOptimize(run->samples.data());
        }
        if (reader.status() != AssetReader::Status::completed) {
            state.SkipWithError("reading failed");
        }
        benchmark::DoNotOptimize(values);
    }
}

void extractPeaks(benchmark::State& state) {
    const std::filesystem::path& path = fileOf(state);
    for (auto _ : state) {
        std::vector<float> peaks = vexel::WaveformExtractor::extract(path, kBuckets);
        if (peaks.size() != kBuckets) {
            state.SkipWithError("no waveform");
        }
        benchmark::DoNotOptimize(peaks.data());
    }
}

// Argument 0: the WAV file; 1: the AAC file.
BENCHMARK(readBytes)
    ->Name("Wav_1h_stereo_44k1/read_bytes")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(decodePcm)
    ->Name("Wav_1h_stereo_44k1/decode_pcm")
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(extractPeaks)
    ->Name("Wav_1h_stereo_44k1/waveform_peaks")
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(decodePcm)
    ->Name("Aac_1h_stereo_44k1/decode_pcm")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(extractPeaks)
    ->Name("Aac_1h_stereo_44k1/waveform_peaks")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    benchmark::Initialize(&argc, argv);
    files();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
