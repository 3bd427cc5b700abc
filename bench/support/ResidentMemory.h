#pragma once

#include <unistd.h>

#include <fstream>

namespace vexel::bench {

// The process's resident memory now, in MiB.
inline double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

} // namespace vexel::bench
