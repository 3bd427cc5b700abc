#pragma once

#include "support/InterleavedBenchmarks.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <functional>

namespace vexel::bench {

// Runs the registered benchmarks of a program that measures or draws text,
// which needs a QGuiApplication: on the offscreen platform unless the
// environment names another, with repetitions interleaved at random.
// `prepare` runs once the application exists, before anything is measured.
// Call from main.
inline void runGuiBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter,
                             const std::function<void()>& prepare = {}) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    InterleavedArguments arguments(argc, argv);
    QGuiApplication application(arguments.count(), arguments.values());
    runPreparedBenchmarks(&reporter, prepare);
}

} // namespace vexel::bench
