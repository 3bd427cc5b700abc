#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace vexel {

// A fixed set of threads that run the bands of parallel loops. Whoever owns it
// passes it to the work that splits; nothing reaches it globally. The thread
// that calls parallelFor works on its own loop as well, so a pool of n threads
// keeps n + 1 cores busy and a pool of none runs every loop on the caller.
// Several threads may run loops on one pool at once; they share the workers.
class WorkerPool {
public:
    explicit WorkerPool(unsigned threadCount);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned threadCount() const { return static_cast<unsigned>(threads_.size()); }

    // Calls body(begin, end) for consecutive bands of [0, count), each at most
    // bandSize long (at least 1), and returns when every band has run. The
    // bands run in no particular order and possibly at the same time. When a
    // band throws, the others still run and the first exception is rethrown
    // here. A body may itself call parallelFor.
    template <class Body> void parallelFor(std::size_t count, std::size_t bandSize, Body&& body) {
        using Stored = std::remove_reference_t<Body>;
        Loop loop;
        loop.body = const_cast<void*>(static_cast<const void*>(&body));
        loop.call = [](void* target, std::size_t begin, std::size_t end) {
            (*static_cast<Stored*>(target))(begin, end);
        };
        run(loop, count, bandSize);
    }

private:
    struct Loop {
        void* body = nullptr;
        void (*call)(void*, std::size_t, std::size_t) = nullptr;
        std::size_t count = 0;
        std::size_t bandSize = 1;
        std::size_t bands = 0;
        // Guarded by the pool's mutex.
        std::size_t nextBand = 0;
        Loop* nextLoop = nullptr;
        // Guarded by `mutex`.
        std::mutex mutex;
        std::condition_variable finished;
        std::size_t bandsDone = 0;
        std::exception_ptr error;
    };

    void run(Loop& loop, std::size_t count, std::size_t bandSize);
    // Takes the next band of the first waiting loop; false when none waits.
    // Call with mutex_ held.
    bool claimBand(Loop*& loop, std::size_t& band);
    static void runBand(Loop& loop, std::size_t band);
    void work();

    std::mutex mutex_;
    std::condition_variable waiting_;
    Loop* firstLoop_ = nullptr;
    Loop* lastLoop_ = nullptr;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace vexel
