// Building the composition of a 200-clip project (100 video clips over 10
// files, 50 images, 50 texts that outlast the video), with the files already
// probed, beside probing those 10 files once: what every build would cost
// without the probe cache. Prints the build's time against its 50 ms target.

#include "data/composition/CompositionBuilder.h"
#include "support/InterleavedBenchmarks.h"
#include "support/RunTimes.h"
#include "support/media/MovieMaker.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace vexel;

namespace {

constexpr int kFiles = 10;

struct BenchMedia {
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("vexel-bench-composition-" + std::to_string(::getpid()));
    std::vector<std::filesystem::path> files;
    Project project;

    BenchMedia() {
        std::filesystem::create_directories(folder);
        // The carrier goes to the staging folder, kept apart from the user's.
        setenv("XDG_CACHE_HOME", folder.c_str(), 1);
        for (int i = 0; i < kFiles; ++i) {
            files.push_back(folder / ("clip" + std::to_string(i) + ".mp4"));
            testing::writeTestMovie(
                files.back(), {.width = 320, .height = 240, .frameRate = 10, .frameCount = 200});
        }
        project = makeProject();
    }
    ~BenchMedia() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    Clip clip(TrackType type, double start, double duration) const {
        Clip made;
        made.id = Uuid::random();
        made.trackType = type;
        made.timeRange = {start, duration};
        return made;
    }

    // Two video tracks of 50 back-to-back 2 s clips (every fifth at double
    // speed, every seventh dissolving into the next), an image track and a
    // text track of 50 clips each reaching 20 s past the video.
    Project makeProject() const {
        std::vector<Track> tracks;
        for (int t = 0; t < 2; ++t) {
            Track video{
                Uuid::random(), TrackType::video, "Video " + std::to_string(t + 1), {}, false};
            for (int i = 0; i < 50; ++i) {
                Clip c = clip(TrackType::video, 2.0 * i, 2);
                const auto& file = files[static_cast<std::size_t>((i + t) % kFiles)];
                c.assetName = file.filename().string();
                c.assetURL = file;
                c.sourceOffset = (i % 4) * 1.5;
                c.rate = i % 5 == 0 ? 2.0 : 1.0;
                if (i % 7 == 0) {
                    c.transitionOut =
                        TransitionEffect{0.5, TransitionType::crossDissolve(), EasingCurve::linear};
                }
                if (i % 3 == 0) {
                    c.colorAdjust = ColorAdjust{0.1, 1.1, 0.9};
                    c.fadeRange = TimeRange{0, 1};
                    c.volume = 0.7;
                }
                video.clips.push_back(std::move(c));
            }
            tracks.push_back(std::move(video));
        }
        Track images{Uuid::random(), TrackType::image, "Image 1", {}, false};
        Track texts{Uuid::random(), TrackType::text, "Text 1", {}, false};
        for (int i = 0; i < 50; ++i) {
            Clip image = clip(TrackType::image, 2.4 * i, 2.4);
            image.assetName = "still" + std::to_string(i) + ".png";
            image.assetURL = folder / image.assetName;
            images.clips.push_back(std::move(image));
            Clip text = clip(TrackType::text, 2.4 * i, 2.4);
            text.assetName = "Caption " + std::to_string(i);
            texts.clips.push_back(std::move(text));
        }
        tracks.push_back(std::move(images));
        tracks.push_back(std::move(texts));
        return Project{std::move(tracks), 3600};
    }
};

BenchMedia& benchMedia() {
    static BenchMedia media;
    return media;
}

void probeFilesOnce(benchmark::State& state) {
    const auto& files = benchMedia().files;
    for (auto _ : state) {
        AssetCache cold;
        for (const auto& file : files) {
            benchmark::DoNotOptimize(cold.load(file));
        }
    }
}

void buildWarm(benchmark::State& state) {
    CompositionBuilder builder(std::make_shared<NullLogger>());
    const Project& project = benchMedia().project;
    builder.buildForExport(project); // probes the files and writes the carrier
    for (auto _ : state) {
        ExportComposition built = builder.buildForExport(project);
        if (!built.videoComposition || built.videoComposition->instructions.size() != 1 ||
            built.videoComposition->instructions[0]->requiredSourceTrackIDs().size() != 101) {
            state.SkipWithError("unexpected composition");
            break;
        }
        benchmark::DoNotOptimize(built);
    }
}

BENCHMARK(probeFilesOnce)
    ->Name("probe_10_files_uncached")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);
BENCHMARK(buildWarm)
    ->Name("build_200_clip_project_probed")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    vexel::bench::RunTimesReporter reporter;
    vexel::bench::runInterleavedBenchmarks(argc, argv, &reporter, [] { benchMedia(); });
    auto build = reporter.fastestAndMedian("build_200");
    auto probe = reporter.fastestAndMedian("probe_10");
    std::printf("build: fastest %.2f ms, median %.2f ms (target < 50 ms); probing the 10 "
                "files uncached: fastest %.2f ms, median %.2f ms\n",
                build.first, build.second, probe.first, probe.second);
    return 0;
}
