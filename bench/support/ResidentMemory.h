#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace vexel::bench {

// The process's resident memory now, in MiB.
inline double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// A line of /proc/self/status in MiB: "VmRSS" the resident size, "VmHWM" its
// peak.
inline double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.starts_with(prefix)) {
            return std::stod(line.substr(prefix.size())) / 1024;
        }
    }
    return 0;
}

// Runs this program again with the one argument `mode` and returns its exit
// status, so that a measure starts from a fresh heap.
inline int runAgainWith(const char* mode) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/proc/self/exe", "/proc/self/exe", mode, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace vexel::bench
