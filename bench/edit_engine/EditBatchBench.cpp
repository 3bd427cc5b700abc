// Target: a batch of 50 mixed commands on a 1000-clip project in under 5 ms.
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/DefaultHandlers.h"
#include "support/BenchProjects.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

using namespace vexel;

namespace {

// Fifty commands of ten kinds, half of them run on the batch's working copy
// (move, trim, split, remove, duplicate) and half through their handlers. Each
// split or remove takes a clip no other command names; below 50 clips those
// become rotations so that the batch still succeeds.
std::vector<EditCommand> mixedBatch(const Project& project) {
    std::vector<const Clip*> media;
    for (const auto& track : project.tracks) {
        if (track.type == TrackType::video) {
            for (const auto& clip : track.clips) {
                media.push_back(&clip);
            }
        }
    }
    const bool consume = media.size() >= 50;
    std::size_t spare = media.size();
    auto shared = [&](int i) {
        return media[static_cast<std::size_t>(i) % (consume ? media.size() - 10 : media.size())];
    };
    std::vector<EditCommand> commands;
    for (int i = 0; i < 50; ++i) {
        const Clip* clip = shared(i);
        const double far = 3000 + i * 4.0;
        switch (i % 10) {
        case 0:
            commands.push_back(EditCommand::Trim{clip->id, 0.25, 1.5});
            break;
        case 1:
            commands.push_back(EditCommand::Opacity{clip->id, 0.5});
            break;
        case 2:
            commands.push_back(EditCommand::Move{clip->id, far, std::nullopt});
            break;
        case 3:
            if (consume) {
                const Clip* own = media[--spare];
                commands.push_back(EditCommand::Split{own->id, own->timeRange.startTime + 1});
            } else {
                commands.push_back(EditCommand::RotateFlip{clip->id, 90, true, std::nullopt});
            }
            break;
        case 4:
            commands.push_back(EditCommand::AdjustVolume{clip->id, 0.5, std::nullopt});
            break;
        case 5:
            commands.push_back(EditCommand::ColorAdjust{clip->id, 0.2, 1.1, 0.9});
            break;
        case 6:
            if (consume) {
                commands.push_back(EditCommand::RemoveClip{media[--spare]->id});
            } else {
                commands.push_back(EditCommand::RotateFlip{clip->id, 180, std::nullopt, true});
            }
            break;
        case 7:
            commands.push_back(EditCommand::DuplicateClip{clip->id, far});
            break;
        case 8:
            commands.push_back(EditCommand::Filter{clip->id, "sepia", 0.5});
            break;
        default:
            commands.push_back(EditCommand::Transition{clip->id, 0.5, 0.25, TransitionType::fade(),
                                                       EasingCurve::easeIn});
            break;
        }
    }
    return commands;
}

// The project of the benchmark's size, the editor's engine over it and the
// fifty commands.
struct BatchBench {
    explicit BatchBench(std::int64_t clips)
        : project(bench::benchProject(static_cast<int>(clips)))
        , repository(std::make_shared<InMemoryProjectRepository>(project))
        , executor(makeDefaultEditCommandExecutor(repository,
                                                  std::make_shared<testing::FakeMediaLoader>(),
                                                  std::make_shared<testing::FakeExportService>()))
        , commands(mixedBatch(project)) {}

    Project project;
    std::shared_ptr<InMemoryProjectRepository> repository;
    DefaultEditCommandExecutor executor;
    std::vector<EditCommand> commands;
};

void BM_ExecuteBatch50(benchmark::State& state) {
    BatchBench setup(state.range(0));
    auto& [project, repository, executor, commands] = setup;
    // The batch must succeed, or the figure would measure a rollback.
    try {
        executor.executeBatch(commands);
    } catch (const EditError& error) {
        state.SkipWithError(error.what());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        repository->save(project);
        state.ResumeTiming();
        benchmark::DoNotOptimize(executor.executeBatch(commands));
    }
}
BENCHMARK(BM_ExecuteBatch50)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The baseline in the same run: the same fifty commands one at a time, each a
// load of the whole project and a save of it, as a batch once cost.
void BM_ExecuteOneByOne50(benchmark::State& state) {
    BatchBench setup(state.range(0));
    auto& [project, repository, executor, commands] = setup;
    for (auto _ : state) {
        state.PauseTiming();
        repository->save(project);
        state.ResumeTiming();
        try {
            for (const auto& command : commands) {
                benchmark::DoNotOptimize(executor.execute(command));
            }
        } catch (const EditError& error) {
            state.SkipWithError(error.what());
            return;
        }
    }
}
BENCHMARK(BM_ExecuteOneByOne50)->Arg(1000)->Unit(benchmark::kMillisecond);

// The floor under any batch, measured in the same run: the one load and the
// one save a batch makes of the project.
void BM_LoadAndSave(benchmark::State& state) {
    const Project project = bench::benchProject(static_cast<int>(state.range(0)));
    InMemoryProjectRepository repository(project);
    for (auto _ : state) {
        Project loaded = repository.load();
        repository.save(loaded);
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_LoadAndSave)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
