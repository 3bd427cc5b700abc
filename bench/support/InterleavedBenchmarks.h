#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace vexel::bench {

// The program's arguments with the repetitions of all benchmarks interleaved
// at random, so that a busy spell of the shared machine falls on every
// benchmark alike, once Google Benchmark has taken its own flags out.
class InterleavedArguments {
public:
    InterleavedArguments(int argc, char** argv)
        : arguments_(argv, argv + argc) {
        arguments_.insert(arguments_.begin() + 1, interleave_.data());
        count_ = static_cast<int>(arguments_.size());
        benchmark::Initialize(&count_, arguments_.data());
    }
    InterleavedArguments(const InterleavedArguments&) = delete;
    InterleavedArguments& operator=(const InterleavedArguments&) = delete;

    // What is left, for a Qt application object, which keeps a reference to
    // the count.
    int& count() { return count_; }
    char** values() { return arguments_.data(); }

private:
    std::string interleave_ = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> arguments_;
    int count_ = 0;
};

// Calls `prepare` (what must exist before anything is measured), runs the
// registered benchmarks with `reporter` (the console's when null) and lets
// Google Benchmark go.
inline void runPreparedBenchmarks(benchmark::BenchmarkReporter* reporter,
                                  const std::function<void()>& prepare) {
    if (prepare) {
        prepare();
    }
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
}

// The whole of a benchmark program's main but for what it prints at the end.
inline void runInterleavedBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter,
                                     const std::function<void()>& prepare = {}) {
    InterleavedArguments arguments(argc, argv);
    runPreparedBenchmarks(reporter, prepare);
}

} // namespace vexel::bench
