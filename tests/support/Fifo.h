#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

namespace vexel::test {

// A named pipe in a test's folder that tells whether anyone opened it to read.
// Whoever does is let go at once (a writer comes and leaves, so the reader sees
// an empty stream) instead of waiting for ever, so that a fault fails the test
// rather than hanging it. Made and dropped on one thread.
class Fifo {
public:
    explicit Fifo(std::filesystem::path path)
        : path_(std::move(path)) {
        std::filesystem::create_directories(path_.parent_path());
        if (::mkfifo(path_.c_str(), 0600) != 0) {
            throw std::runtime_error("mkfifo " + path_.string());
        }
        writer_ = std::thread([this] {
            for (;;) {
                // Blocks until a reader opens the pipe: a fault, or the release
                // below. Every faulty reader is let go, however many come.
                const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
                if (fd >= 0) {
                    ::close(fd);
                }
                if (releasing_.load()) {
                    return;
                }
                openedToRead_.store(true);
                std::this_thread::yield();
            }
        });
    }

    ~Fifo() {
        releasing_.store(true);
        // A reader of our own lets the waiting writer go.
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        writer_.join();
        if (fd >= 0) {
            ::close(fd);
        }
    }

    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Whether anything opened the pipe to read from it.
    bool openedToRead() const { return openedToRead_.load(); }

private:
    std::filesystem::path path_;
    std::atomic<bool> releasing_{false};
    std::atomic<bool> openedToRead_{false};
    std::thread writer_;
};

} // namespace vexel::test
