#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vexel::bench {

// A console reporter that keeps the real time of every repetition, so that a
// program can set its runs against a baseline measured in the same run.
class RunTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The fastest repetition (the least disturbed by other work on the
    // machine) and the median of the benchmark whose name starts with
    // `prefix`; zeros when it did not run.
    std::pair<double, double> fastestAndMedian(const std::string& prefix) {
        for (auto& [name, times] : times_) {
            if (name.rfind(prefix, 0) == 0 && !times.empty()) {
                std::sort(times.begin(), times.end());
                return {times.front(), times[times.size() / 2]};
            }
        }
        return {0, 0};
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

} // namespace vexel::bench
