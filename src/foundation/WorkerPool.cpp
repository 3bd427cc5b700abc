#include "foundation/WorkerPool.h"

#include <algorithm>

namespace vexel {

WorkerPool::WorkerPool(unsigned threadCount) {
    threads_.reserve(threadCount);
    for (unsigned i = 0; i < threadCount; ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    waiting_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void WorkerPool::run(Loop& loop, std::size_t count, std::size_t bandSize) {
    if (count == 0) {
        return;
    }
    loop.count = count;
    loop.bandSize = std::max<std::size_t>(bandSize, 1);
    loop.bands = (count + loop.bandSize - 1) / loop.bandSize;
    if (loop.bands > 1 && !threads_.empty()) {
        {
            std::lock_guard lock(mutex_);
            if (lastLoop_ != nullptr) {
                lastLoop_->nextLoop = &loop;
            } else {
                firstLoop_ = &loop;
            }
            lastLoop_ = &loop;
        }
        waiting_.notify_all();
    } else {
        // Nobody else can take a band: the loop stays off the queue.
        loop.nextBand = loop.bands;
        for (std::size_t band = 0; band < loop.bands; ++band) {
            runBand(loop, band);
        }
    }
    // Help with this loop (or whatever is ahead of it) until it has no band
    // left to hand out; the last band claimed takes it off the queue.
    for (;;) {
        Loop* claimed = nullptr;
        std::size_t band = 0;
        {
            std::lock_guard lock(mutex_);
            if (loop.nextBand >= loop.bands || !claimBand(claimed, band)) {
                break;
            }
        }
        runBand(*claimed, band);
    }
    std::unique_lock lock(loop.mutex);
    loop.finished.wait(lock, [&] { return loop.bandsDone == loop.bands; });
    if (loop.error) {
        std::rethrow_exception(loop.error);
    }
}

bool WorkerPool::claimBand(Loop*& loop, std::size_t& band) {
    loop = firstLoop_;
    if (loop == nullptr) {
        return false;
    }
    band = loop->nextBand++;
    if (loop->nextBand == loop->bands) {
        firstLoop_ = loop->nextLoop;
        if (firstLoop_ == nullptr) {
            lastLoop_ = nullptr;
        }
        loop->nextLoop = nullptr;
    }
    return true;
}

void WorkerPool::runBand(Loop& loop, std::size_t band) {
    std::size_t begin = band * loop.bandSize;
    std::size_t end = std::min(begin + loop.bandSize, loop.count);
    std::exception_ptr error;
    try {
        loop.call(loop.body, begin, end);
    } catch (...) {
        error = std::current_exception();
    }
    // The owner may return the moment the last band is counted, so nothing
    // touches the loop after this lock is released.
    std::lock_guard lock(loop.mutex);
    if (error && !loop.error) {
        loop.error = error;
    }
    if (++loop.bandsDone == loop.bands) {
        loop.finished.notify_all();
    }
}

void WorkerPool::work() {
    for (;;) {
        Loop* loop = nullptr;
        std::size_t band = 0;
        {
            std::unique_lock lock(mutex_);
            waiting_.wait(lock, [&] { return stopping_ || firstLoop_ != nullptr; });
            if (stopping_) {
                return;
            }
            claimBand(loop, band);
        }
        runBand(*loop, band);
    }
}

} // namespace vexel
