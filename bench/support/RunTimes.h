#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vexel::bench {

// The fastest of `times` (the run least disturbed by other work on the
// machine) and their median; zeros when there are none.
inline std::pair<double, double> fastestAndMedian(std::vector<double> times) {
    if (times.empty()) {
        return {0, 0};
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

// What the repetitions of one benchmark took, in its unit.
struct RunTimes {
    std::vector<double> wall;
    // Of every thread, where the benchmark measures the process's time.
    std::vector<double> processor;
    // The counters of the last repetition.
    std::map<std::string, double> counters;
};

// A console reporter that keeps the times of every repetition, so that a
// program can set its runs against a baseline measured in the same run.
class RunTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                RunTimes& times = runs_[run.run_name.function_name][run.run_name.args];
                times.wall.push_back(run.GetAdjustedRealTime());
                times.processor.push_back(run.GetAdjustedCPUTime());
                for (const auto& [name, counter] : run.counters) {
                    times.counters[name] = counter.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The fastest and median real time of the benchmark whose name starts
    // with `prefix`; zeros when it did not run.
    std::pair<double, double> fastestAndMedian(const std::string& prefix) const {
        for (const auto& [name, byArguments] : runs_) {
            if (name.rfind(prefix, 0) != 0) {
                continue;
            }
            for (const auto& [arguments, times] : byArguments) {
                if (!times.wall.empty()) {
                    return bench::fastestAndMedian(times.wall);
                }
            }
        }
        return {0, 0};
    }

    // The repetitions of the benchmark `name` with `arguments` (as in
    // "cores:8"); none when it did not run.
    const RunTimes& times(const std::string& name, const std::string& arguments = {}) const {
        static const RunTimes none;
        auto byArguments = runs_.find(name);
        if (byArguments == runs_.end()) {
            return none;
        }
        auto found = byArguments->second.find(arguments);
        return found == byArguments->second.end() ? none : found->second;
    }

    // The names of the benchmarks that ran, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& [name, byArguments] : runs_) {
            out.push_back(name);
        }
        return out;
    }

private:
    std::map<std::string, std::map<std::string, RunTimes>> runs_;
};

} // namespace vexel::bench
