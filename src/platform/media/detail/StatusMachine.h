#pragma once

// The status and first error of a reader or writer, written once for all of
// them. Internal to the media layer.

#include "platform/media/MediaError.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace vexel::media::detail {

// `Status` must number its states unknown 0, running 1 (reading, writing),
// completed 2, failed 3, cancelled 4. Every transition is thread-safe; an end
// state is never left, and whichever end comes first wins.
template <typename Status> class StatusMachine {
public:
    static constexpr Status unknown = static_cast<Status>(0);
    static constexpr Status running = static_cast<Status>(1);
    static constexpr Status completed = static_cast<Status>(2);
    static constexpr Status failed = static_cast<Status>(3);
    static constexpr Status cancelled = static_cast<Status>(4);

    Status status() const { return status_.load(); }
    bool isRunning() const { return status_.load() == running; }

    std::optional<MediaError> error() const {
        std::lock_guard lock(errorMutex_);
        return error_;
    }

    // unknown -> running.
    bool start() { return move(unknown, running); }
    // running -> completed.
    bool complete() { return move(running, completed); }

    // unknown or running -> failed, keeping this failure as the error. False
    // when the operation had already ended (the first end wins). The error is
    // in place before anyone can see the failed status.
    bool fail(const MediaError& failure) {
        std::lock_guard lock(errorMutex_);
        Status expected = status_.load();
        do {
            if (expected != unknown && expected != running) {
                return false;
            }
        } while (!status_.compare_exchange_weak(expected, failed));
        error_ = failure;
        return true;
    }

    // unknown or running -> cancelled. False when it had already ended.
    bool cancel() { return move(unknown, cancelled) || move(running, cancelled); }

private:
    bool move(Status from, Status to) { return status_.compare_exchange_strong(from, to); }

    std::atomic<Status> status_{unknown};
    mutable std::mutex errorMutex_;
    std::optional<MediaError> error_;
};

} // namespace vexel::media::detail
