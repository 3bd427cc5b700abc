// Starting the editor as a user does: a fresh process of the release build,
// timed from its launch until its window first reaches the screen (the debug
// line it writes then), and its resident memory once it has sat idle for a
// while with the editor built. Each beside an empty Qt window of the same
// size, the least any Qt program takes, measured in the same run.
//
// Runs on the X server of DISPLAY when there is one (under xvfb-run, say),
// else on the offscreen platform. The launched programs get folders of their
// own, so that no auto-save or setting of the user's is read or written.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* exposedMarker = "[App] Window exposed";
constexpr std::chrono::seconds markerLimit{30};
// How long the editor sits idle before its memory is read: long enough for
// the start-up's work and the first refreshes to have settled.
constexpr std::chrono::seconds idleTime{3};

std::filesystem::path scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vexel-bench-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder");
        }
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// The environment of a launched program: ours, with debug logging on and its
// own home, data, cache and settings folders.
std::vector<std::string> childEnvironment() {
    const std::filesystem::path home = scratchFolder();
    const std::map<std::string, std::string> overrides{
        {"VEXEL_DEBUG_LOG", "1"},
        {"HOME", home.string()},
        {"XDG_DATA_HOME", (home / "data").string()},
        {"XDG_CACHE_HOME", (home / "cache").string()},
        {"XDG_CONFIG_HOME", (home / "config").string()},
    };
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('='));
        if (!overrides.contains(name)) {
            result.push_back(text);
        }
    }
    for (const auto& [name, value] : overrides) {
        result.push_back(name + "=" + value);
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        result.emplace_back("QT_QPA_PLATFORM=offscreen");
    }
    return result;
}

// One launched program, ended when this goes.
class Launch {
public:
    explicit Launch(const std::string& program) {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            throw std::runtime_error("cannot make a pipe");
        }
        std::vector<std::string> environment = childEnvironment();
        std::vector<char*> environmentPointers;
        for (std::string& entry : environment) {
            environmentPointers.push_back(entry.data());
        }
        environmentPointers.push_back(nullptr);
        std::string name = program;
        char* arguments[] = {name.data(), nullptr};

        started_ = Clock::now();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(pipeEnds[1], STDERR_FILENO);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::execve(program.c_str(), arguments, environmentPointers.data());
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        output_ = pipeEnds[0];
        if (pid_ < 0) {
            throw std::runtime_error("cannot start " + program);
        }
    }

    Launch(const Launch&) = delete;
    Launch& operator=(const Launch&) = delete;

    ~Launch() {
        ::kill(pid_, SIGTERM);
        const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > limit) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::close(output_);
    }

    // Seconds from the launch until the window first reached the screen.
    double secondsUntilExposed() {
        std::string pending;
        const Clock::time_point limit = started_ + markerLimit;
        while (Clock::now() < limit) {
            pollfd watched{output_, POLLIN, 0};
            if (::poll(&watched, 1, 100) <= 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t read = ::read(output_, buffer, sizeof buffer);
            if (read <= 0) {
                throw std::runtime_error("the program ended before its window showed");
            }
            pending.append(buffer, static_cast<std::size_t>(read));
            if (pending.find(exposedMarker) != std::string::npos) {
                return std::chrono::duration<double>(Clock::now() - started_).count();
            }
        }
        throw std::runtime_error("the window did not show within 30 s");
    }

    // Drains what the program writes, so that it never blocks on a full pipe.
    void idle(std::chrono::seconds duration) {
        const Clock::time_point end = Clock::now() + duration;
        while (Clock::now() < end) {
            pollfd watched{output_, POLLIN, 0};
            if (::poll(&watched, 1, 50) > 0) {
                char buffer[4096];
                if (::read(output_, buffer, sizeof buffer) <= 0) {
                    throw std::runtime_error("the program ended while idle");
                }
            }
        }
    }

    double residentMegabytes() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string field;
        while (status >> field) {
            if (field == "VmRSS:") {
                double kilobytes = 0;
                status >> kilobytes;
                return kilobytes / 1024;
            }
        }
        throw std::runtime_error("no resident size");
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    Clock::time_point started_;
};

std::map<std::string, std::vector<double>>& startSeconds() {
    static std::map<std::string, std::vector<double>> measured;
    return measured;
}

std::map<std::string, std::vector<double>>& idleMegabytes() {
    static std::map<std::string, std::vector<double>> measured;
    return measured;
}

void showWindow(benchmark::State& state, const std::string& name, const std::string& program) {
    for (auto _ : state) {
        Launch launch(program);
        const double seconds = launch.secondsUntilExposed();
        state.SetIterationTime(seconds);
        startSeconds()[name].push_back(seconds);
    }
}

void sitIdle(benchmark::State& state, const std::string& name, const std::string& program) {
    for (auto _ : state) {
        Launch launch(program);
        launch.secondsUntilExposed();
        launch.idle(idleTime);
        const double megabytes = launch.residentMegabytes();
        idleMegabytes()[name].push_back(megabytes);
        state.counters["resident_MiB"] = megabytes;
        state.SetIterationTime(1);
    }
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("show_window/vexel", showWindow, "vexel", VEXEL_PROGRAM)
        ->Iterations(1)
        ->Repetitions(10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("show_window/bare_qt_window", showWindow, "bare",
                                 BARE_WINDOW_PROGRAM)
        ->Iterations(1)
        ->Repetitions(10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("idle_resident/vexel", sitIdle, "vexel", VEXEL_PROGRAM)
        ->Iterations(1)
        ->Repetitions(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("idle_resident/bare_qt_window", sitIdle, "bare",
                                 BARE_WINDOW_PROGRAM)
        ->Iterations(1)
        ->Repetitions(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);

    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> arguments(argv, argv + argc);
    arguments.insert(arguments.begin() + 1, interleave.data());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double vexelStart = median(startSeconds()["vexel"]);
    const double bareStart = median(startSeconds()["bare"]);
    const double vexelMemory = median(idleMegabytes()["vexel"]);
    const double bareMemory = median(idleMegabytes()["bare"]);
    std::printf("window shown: editor %.0f ms median of %zu (target < 1000 ms), empty Qt window "
                "%.0f ms\n",
                vexelStart * 1000, startSeconds()["vexel"].size(), bareStart * 1000);
    std::printf("idle resident: editor %.0f MiB (target < 300 MiB), empty Qt window %.0f MiB\n",
                vexelMemory, bareMemory);
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
    return 0;
}
