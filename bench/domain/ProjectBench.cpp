#include "domain/entities/EditHistory.h"
#include "domain/entities/Project.h"

#include <benchmark/benchmark.h>

using namespace vexel;

namespace {

// A busy project: four tracks of `clipsPerTrack` clips, a third of them styled.
Project busyProject(int clipsPerTrack) {
    Project project = Project::makeNew();
    for (TrackType type : allTrackTypes) {
        Track track{Uuid::random(), type, std::string(baseWord(type)) + " 9", {}, false};
        for (int i = 0; i < clipsPerTrack; ++i) {
            Clip clip{.id = Uuid::random(),
                      .assetName = "clip " + std::to_string(i) + ".mov",
                      .assetURL = std::filesystem::path("/home/user/Movies/clip.mov"),
                      .trackType = type,
                      .timeRange = {i * 2.0, 2.0}};
            if (i % 3 == 0) {
                clip.textStyle = TextStyle{};
                clip.colorAdjust = ColorAdjust{0.1, 1.2, 0.9};
                clip.transitionIn =
                    TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
                clip.audioEffects =
                    std::vector<AudioEffect>{AudioEffect{AudioEffectType::pan(0.2)}};
            }
            track.clips.push_back(std::move(clip));
        }
        project.tracks.push_back(std::move(track));
    }
    return project;
}

void BM_CopyProject(benchmark::State& state) {
    Project project = busyProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Project copy = project;
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_CopyProject)->Arg(10)->Arg(50)->Arg(250);

void BM_ReplaceClip(benchmark::State& state) {
    Project project = busyProject(static_cast<int>(state.range(0)));
    Clip changed = project.tracks.back().clips.back();
    changed.volume = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(project.replacingClip(changed));
    }
}
BENCHMARK(BM_ReplaceClip)->Arg(10)->Arg(50)->Arg(250);

void BM_PushSnapshotFullHistory(benchmark::State& state) {
    Project project = busyProject(static_cast<int>(state.range(0)));
    EditHistory history;
    for (int i = 0; i < history.maxDepth; ++i) {
        history.pushSnapshot(project);
    }
    for (auto _ : state) {
        history.pushSnapshot(project);
    }
}
BENCHMARK(BM_PushSnapshotFullHistory)->Arg(50);

} // namespace
