#pragma once

#include <sys/resource.h>

#include <csignal>

namespace vexel::testing {

// Makes writes past `bytes` fail (EFBIG) for the life of the object, so that a
// test can fill the disk without filling it. The signal the kernel would send
// on such a write is ignored meanwhile, or it would end the test program.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

} // namespace vexel::testing
