#pragma once

// Destroys objects on a thread of its own, for objects whose destruction
// waits for threads to end. Internal to the player.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace vexel::playback::detail {

template <typename Object> class Disposer {
public:
    Disposer()
        : thread_([this] { run(); }) {}
    // Destroys what is still queued, then joins.
    ~Disposer() {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    Disposer(const Disposer&) = delete;
    Disposer& operator=(const Disposer&) = delete;

    void dispose(std::unique_ptr<Object> object) {
        if (!object) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(object));
        }
        wake_.notify_one();
    }

private:
    void run() {
        while (true) {
            std::unique_ptr<Object> next;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
                if (queue_.empty()) {
                    return;
                }
                next = std::move(queue_.front());
                queue_.pop_front();
            }
            next.reset();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::unique_ptr<Object>> queue_;
    bool closing_ = false;
    std::thread thread_; // last: started once the rest is in place
};

} // namespace vexel::playback::detail
