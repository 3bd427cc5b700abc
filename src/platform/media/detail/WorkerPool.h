#pragma once

// A fixed set of threads that run submitted jobs. Internal to the media layer.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vexel::media::detail {

class WorkerPool {
public:
    explicit WorkerPool(std::size_t threads);
    // Runs what is queued, then joins.
    ~WorkerPool();

    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    std::size_t size() const { return threads_.size(); }

    // Jobs must not throw.
    void submit(std::function<void()> job);
    // Runs body(0) ... body(count - 1) on the pool and the calling thread and
    // returns when all are done. The first exception is rethrown here.
    void parallelFor(std::size_t count, const std::function<void(std::size_t)>& body);

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace vexel::media::detail
