#include "data/llm/PromptBuilder.h"
#include "support/BenchProjects.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

using namespace vexel;

namespace {

// The user message renders the whole timeline on every instruction.
void BM_BuildUserMessage(benchmark::State& state) {
    const Project project = bench::benchProject(static_cast<int>(state.range(0)));
    const auto selected = project.tracks[0].clips[0].id;
    for (auto _ : state) {
        std::string message =
            PromptBuilder::buildUserMessage("Split the third clip at 2 seconds", project, selected);
        benchmark::DoNotOptimize(message);
    }
}
BENCHMARK(BM_BuildUserMessage)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same timeline with one caption of `range(0)` characters, each an e and a
// combining accent: a long text is counted to the end to say how much of it
// the request leaves out.
void BM_BuildUserMessageWithLongTitle(benchmark::State& state) {
    Project project = bench::benchProject(1000);
    std::string title;
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        title += "e\u0301";
    }
    for (Track& track : project.tracks) {
        if (track.type == TrackType::text) {
            track.clips[0].assetName = title;
            break;
        }
    }
    const auto selected = project.tracks[0].clips[0].id;
    for (auto _ : state) {
        std::string message =
            PromptBuilder::buildUserMessage("What does the title say?", project, selected);
        benchmark::DoNotOptimize(message);
    }
}
BENCHMARK(BM_BuildUserMessageWithLongTitle)->Arg(5'000'000)->Unit(benchmark::kMillisecond);

} // namespace
