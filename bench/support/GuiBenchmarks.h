#pragma once

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace vexel::bench {

// Runs the registered benchmarks of a program that measures or draws text,
// which needs a QGuiApplication: on the offscreen platform unless the
// environment names another, with repetitions interleaved at random, so that
// the load of a shared machine falls on every benchmark alike. Call from main.
inline void runGuiBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave.data());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    QGuiApplication application(count, arguments.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
}

} // namespace vexel::bench
