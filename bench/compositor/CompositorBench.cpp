// Exporting the frames of a reference project through the frame compositor:
// two 1080p30 clips of 10 s (colour controls on the first, sepia on the
// second) joined by a 1 s cross-dissolve, a 6 s animated title and a 4 s
// image overlay fading in, read through CompositionReader. Beside it, in the
// same run: decoding the same two sources alone (the baseline), and the same
// two clips without effects or overlays in the layer form. Prints the
// processor time per output frame that compositing adds to decoding, of all
// threads and divided by eight (what it takes of eight free cores), beside
// the wall times; the budget is 4 ms of eight-core time.

#include "data/composition/CompositionBuilder.h"
#include "data/composition/TestProjects.h"
#include "media/BusyFrames.h"
#include "platform/media/AssetReader.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/MovieWriter.h"
#include "support/GuiBenchmarks.h"
#include "support/ReadEveryFrame.h"
#include "support/RunTimes.h"

#include <QImage>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel;
using media::MediaTime;
using testing::clipOf;
using testing::projectOf;
using testing::trackOf;

namespace {

constexpr int kSourceFrames = 300;
constexpr double kBudgetMilliseconds = 4;

struct Sources {
    std::filesystem::path first;
    std::filesystem::path second;
    std::filesystem::path image;
};

std::filesystem::path writeSource(const std::string& name, int seed) {
    const std::filesystem::path path = bench::scratchPath(name);
    const auto frames = bench::busyFrames(30 + seed, 6);
    media::MovieWriter writer(path, media::FileType::mp4);
    media::VideoWriterInput& input = writer.addVideoInput({.width = 1920, .height = 1080});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    for (int i = 0; i < kSourceFrames; ++i) {
        input.append(frames[static_cast<std::size_t>(i + seed) % frames.size()], MediaTime(i, 30));
    }
    input.markAsFinished();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    return path;
}

std::filesystem::path writeImage() {
    const std::filesystem::path path = bench::scratchPath("overlay.png");
    QImage image(1200, 800, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba((x * 3) & 0xFF, (y * 5) & 0xFF, (x ^ y) & 0xFF, 255));
        }
    }
    if (!image.save(QString::fromStdString(path.string()), "PNG")) {
        throw std::runtime_error("cannot write the overlay image");
    }
    return path;
}

const Sources& sources() {
    static const Sources made{writeSource("compositor-a.mp4", 0),
                              writeSource("compositor-b.mp4", 7), writeImage()};
    return made;
}

// The two clips overlap by the dissolve: 19 s, 570 frames.
Project referenceProject(bool effects) {
    Clip first = clipOf(TrackType::video, 0, 10, sources().first);
    Clip second = clipOf(TrackType::video, 10, 10, sources().second);
    const TransitionEffect dissolve{1, TransitionType::crossDissolve(), EasingCurve::linear};
    first.transitionOut = dissolve;
    second.transitionIn = dissolve;
    if (!effects) {
        return projectOf({trackOf(TrackType::video, {first, second})});
    }
    first.colorAdjust = ColorAdjust{0.1, 1.2, 0.9};
    second.filter = FilterPreset{"sepia", 0.8};
    Clip title = clipOf(TrackType::text, 2, 6);
    title.assetName = "Reference title";
    title.textStyle = TextStyle{48, "white", "black", 2, std::nullopt, std::nullopt};
    title.textAnimation =
        TextAnimation{TextEntranceType::slideIn(Direction::left), TextExitType::fadeOut(),
                      std::nullopt, EasingCurve::easeOut, EasingCurve::easeIn};
    Clip image = clipOf(TrackType::image, 11, 4, sources().image);
    image.transitionIn = TransitionEffect{1, TransitionType::fade(), EasingCurve::linear};
    image.overlayTransform = OverlayTransform{0.75, 0.3, 0.4};
    return projectOf({trackOf(TrackType::video, {first, second}), trackOf(TrackType::text, {title}),
                      trackOf(TrackType::image, {image})});
}

void readProject(benchmark::State& state, bool effects) {
    CompositionBuilder builder(std::make_shared<NullLogger>());
    const ExportComposition exported = builder.buildForExport(referenceProject(effects));
    if (static_cast<bool>(exported.videoComposition->customCompositor) != effects) {
        state.SkipWithError("unexpected form of the video composition");
        return;
    }
    std::int64_t frames = 0;
    for (auto _ : state) {
        media::CompositionReader reader(exported.composition);
        reader.addVideoOutput(*exported.videoComposition);
        if (!reader.startReading()) {
            state.SkipWithError(reader.error()->message().c_str());
            return;
        }
        frames += bench::readEveryVideoFrame(reader);
        if (reader.status() != media::CompositionReader::Status::completed) {
            state.SkipWithError("reading failed");
            return;
        }
    }
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}

void decodeSources(benchmark::State& state) {
    std::int64_t frames = 0;
    for (auto _ : state) {
        for (const auto& path : {sources().first, sources().second}) {
            const media::Asset asset = media::Asset::load(path);
            media::AssetReader reader(asset, *asset.firstTrack(media::MediaType::video));
            reader.startReading();
            frames += bench::readEveryVideoFrame(reader);
        }
    }
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}

const char* const kDecode = "decode_two_1080p30_sources_alone";
const char* const kCompositor = "CompositionReader_reference_project_frame_compositor";
const char* const kLayers = "CompositionReader_same_clips_layer_form";

void registerAll() {
    auto configure = [](benchmark::internal::Benchmark* benchmark) {
        benchmark->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Iterations(1)
            ->Repetitions(5);
    };
    configure(benchmark::RegisterBenchmark(kDecode, decodeSources));
    configure(benchmark::RegisterBenchmark(kCompositor, readProject, true));
    configure(benchmark::RegisterBenchmark(kLayers, readProject, false));
}

// Sets the composition reads against the decoding alone.
class CompositingReporter : public bench::RunTimesReporter {
    using RunTimes = bench::RunTimes;

public:
    void Finalize() override {
        RunTimesReporter::Finalize();
        const RunTimes& decode = times(kDecode);
        if (decode.wall.empty()) {
            return;
        }
        std::printf("\nms per output frame, fastest / median of the repetitions\n");
        std::printf("%-54s %17s %17s\n", "", "wall", "cpu all threads");
        for (const char* name : {kDecode, kCompositor, kLayers}) {
            const RunTimes& run = times(name);
            if (run.wall.empty() || !(framesOf(run) > 0)) {
                continue;
            }
            const double frames = name == kDecode ? outputFrames() : framesOf(run);
            auto wall = bench::fastestAndMedian(run.wall);
            auto cpu = bench::fastestAndMedian(run.processor);
            std::printf("%-54s %8.3f %8.3f %8.3f %8.3f\n", name, wall.first / frames,
                        wall.second / frames, cpu.first / frames, cpu.second / frames);
        }
        const auto decodeCpu = bench::fastestAndMedian(decode.processor);
        for (const char* name : {kCompositor, kLayers}) {
            const RunTimes& run = times(name);
            if (run.wall.empty()) {
                continue;
            }
            const double frames = outputFrames();
            const auto cpu = bench::fastestAndMedian(run.processor);
            const double added = (cpu.first - decodeCpu.first) / frames;
            const double addedMedian = (cpu.second - decodeCpu.second) / frames;
            std::printf("%s adds, fastest / median: %.3f / %.3f ms cpu per frame, "
                        "%.3f / %.3f ms of eight cores",
                        name, added, addedMedian, added / 8, addedMedian / 8);
            if (name == kCompositor) {
                std::printf(" (budget %.0f ms: %s)", kBudgetMilliseconds,
                            added / 8 <= kBudgetMilliseconds ? "met" : "MISSED");
            }
            std::printf("\n");
        }
    }

private:
    static double framesOf(const RunTimes& run) {
        auto frames = run.counters.find("frames");
        return frames == run.counters.end() ? 0 : frames->second;
    }

    // The frames the compositions give; the decoding reads slightly more.
    double outputFrames() const {
        double frames = framesOf(times(kCompositor));
        return frames > 0 ? frames : framesOf(times(kLayers));
    }
};

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    registerAll();
    // Written before anything is measured.
    sources();
    CompositingReporter reporter;
    bench::runGuiBenchmarks(argc, argv, reporter);
    for (const auto& path : {sources().first, sources().second, sources().image}) {
        std::filesystem::remove(path);
    }
    return 0;
}
