#include "platform/media/detail/WorkerPool.h"

#include <atomic>
#include <exception>

namespace vexel::media::detail {

WorkerPool::WorkerPool(std::size_t threads) {
    for (std::size_t i = 0; i < std::max<std::size_t>(threads, 1); ++i) {
        threads_.emplace_back([this] { run(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void WorkerPool::submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void WorkerPool::run() {
    while (true) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

void WorkerPool::parallelFor(std::size_t count, const std::function<void(std::size_t)>& body) {
    if (count == 0) {
        return;
    }
    struct Shared {
        std::atomic<std::size_t> next{0};
        std::mutex mutex;
        std::condition_variable done;
        std::size_t finished = 0;
        std::exception_ptr error;
    };
    auto shared = std::make_shared<Shared>();
    // Each runner takes indices until none is left; the caller runs too, so
    // nested use from a pool thread cannot starve.
    auto runner = [shared, count, &body] {
        std::size_t index;
        while ((index = shared->next.fetch_add(1)) < count) {
            try {
                body(index);
            } catch (...) {
                std::lock_guard lock(shared->mutex);
                if (!shared->error) {
                    shared->error = std::current_exception();
                }
            }
            std::lock_guard lock(shared->mutex);
            if (++shared->finished == count) {
                shared->done.notify_all();
            }
        }
    };
    std::size_t helpers = std::min(count - 1, threads_.size());
    for (std::size_t i = 0; i < helpers; ++i) {
        submit(runner);
    }
    runner();
    std::unique_lock lock(shared->mutex);
    shared->done.wait(lock, [&] { return shared->finished == count; });
    if (shared->error) {
        std::rethrow_exception(shared->error);
    }
}

} // namespace vexel::media::detail
