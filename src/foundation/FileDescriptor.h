#pragma once

#include <unistd.h>

#include <utility>

namespace vexel {

// Owns an open file descriptor and closes it once; -1 owns nothing.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) {
                ::close(fd_);
            }
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    int get() const { return fd_; }
    // Gives the descriptor up to a new owner, who closes it.
    int release() { return std::exchange(fd_, -1); }
    // Closes now, so that a failing close (data not written) is seen.
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

} // namespace vexel
