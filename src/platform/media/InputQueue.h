#pragma once

// The bounded hand-over between a writer input's caller and its encoding
// thread, and between the player's reading and showing threads.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace vexel::media {

template <typename Item> class InputQueue {
public:
    explicit InputQueue(std::size_t capacity)
        : capacity_(capacity) {}

    bool hasRoom() const {
        std::lock_guard lock(mutex_);
        return !closed_ && !aborted_ && items_.size() < capacity_;
    }

    bool isClosed() const {
        std::lock_guard lock(mutex_);
        return closed_ || aborted_;
    }

    // Returns once there is room, the queue is closed or aborted, or the
    // timeout has passed.
    void waitForRoom(std::chrono::milliseconds timeout) const {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout,
                          [&] { return closed_ || aborted_ || items_.size() < capacity_; });
    }

    // Waits for room; false once the queue is closed or aborted.
    bool push(Item item) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || aborted_ || items_.size() < capacity_; });
        if (closed_ || aborted_) {
            return false;
        }
        items_.push_back(std::move(item));
        changed_.notify_all();
        return true;
    }

    // The next item; nothing once the queue is closed and empty, or aborted.
    std::optional<Item> pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || aborted_ || !items_.empty(); });
        if (aborted_ || items_.empty()) {
            return std::nullopt;
        }
        Item item = std::move(items_.front());
        items_.pop_front();
        changed_.notify_all();
        return item;
    }

    // No more items; what is queued is still handed out.
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

    // Drops what is queued and wakes everyone.
    void abort() {
        std::lock_guard lock(mutex_);
        aborted_ = true;
        items_.clear();
        changed_.notify_all();
    }

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<Item> items_;
    bool closed_ = false;
    bool aborted_ = false;
};

} // namespace vexel::media
