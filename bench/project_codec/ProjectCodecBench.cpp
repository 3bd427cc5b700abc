// Target: encoding or decoding a 1000-clip project in under 10 ms each.
#include "domain/entities/Project.h"
#include "foundation/JsonReader.h"
#include "support/BenchProjects.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

using namespace vexel;

namespace {

void BM_EncodeProject(benchmark::State& state) {
    const Project project = bench::benchProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string text = Json(project).dump();
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_EncodeProject)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_DecodeProject(benchmark::State& state) {
    const Project project = bench::benchProject(static_cast<int>(state.range(0)));
    const std::string text = Json(project).dump();
    if (!(json::parse(text).get<Project>() == project)) {
        throw std::logic_error("the project does not survive encoding");
    }
    for (auto _ : state) {
        Project decoded = json::parse(text).get<Project>();
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DecodeProject)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
