#include "data/llm/PromptBuilder.h"
#include "support/BenchProjects.h"

#include <benchmark/benchmark.h>

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

} // namespace
