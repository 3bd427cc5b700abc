#pragma once

#include "presentation/views/kit/Theme.h"
#include "support/InterleavedBenchmarks.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

namespace vexel::bench {

// Runs the registered benchmarks of a program that lays out and paints the
// windows' widgets, which needs a QApplication: on the offscreen platform
// unless the environment names another, in the windows' theme, with
// repetitions interleaved at random. `finish` runs after the last benchmark,
// while the application still exists: widgets kept between benchmarks go
// there. Call from main.
inline void runWidgetBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter,
                                const std::function<void()>& finish = {}) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    InterleavedArguments arguments(argc, argv);
    QApplication application(arguments.count(), arguments.values());
    applyDarkTheme(application);
    runPreparedBenchmarks(&reporter, {});
    if (finish) {
        finish();
    }
}

} // namespace vexel::bench
