#include "foundation/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

using vexel::WorkerPool;

namespace {

// Runs a loop over `count` indices and says how often each was visited.
std::vector<int> visits(WorkerPool& pool, std::size_t count, std::size_t band) {
    std::vector<std::atomic<int>> seen(count);
    pool.parallelFor(count, band, [&](std::size_t begin, std::size_t end) {
        EXPECT_LE(end - begin, std::max<std::size_t>(band, 1));
        for (std::size_t i = begin; i < end; ++i) {
            seen[i].fetch_add(1);
        }
    });
    std::vector<int> counts;
    for (auto& s : seen) {
        counts.push_back(s.load());
    }
    return counts;
}

} // namespace

TEST(WorkerPool, VisitsEveryIndexOnceWhateverTheSplit) {
    WorkerPool none(0);
    WorkerPool some(3);
    for (WorkerPool* pool : {&none, &some}) {
        for (auto [count, band] : std::vector<std::pair<std::size_t, std::size_t>>{
                 {0, 4}, {1, 4}, {7, 0}, {1080, 8}, {1081, 16}, {5, 100}}) {
            EXPECT_EQ(visits(*pool, count, band), std::vector<int>(count, 1))
                << pool->threadCount() << " threads, " << count << " in bands of " << band;
        }
    }
}

TEST(WorkerPool, LoopsFromSeveralThreadsAndNestedLoopsAllFinish) {
    WorkerPool pool(3);
    std::atomic<long> total{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c) {
        callers.emplace_back([&] {
            for (int round = 0; round < 50; ++round) {
                pool.parallelFor(64, 4, [&](std::size_t begin, std::size_t end) {
                    // A band may split its own work on the same pool.
                    pool.parallelFor(end - begin, 1, [&](std::size_t b, std::size_t e) {
                        total.fetch_add(static_cast<long>(e - b));
                    });
                });
            }
        });
    }
    for (auto& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(total.load(), 4L * 50 * 64);
}

TEST(WorkerPool, RethrowsTheFirstFailureAfterEveryBandRan) {
    WorkerPool pool(2);
    std::atomic<int> ran{0};
    EXPECT_THROW(pool.parallelFor(40, 1,
                                  [&](std::size_t begin, std::size_t) {
                                      ran.fetch_add(1);
                                      if (begin % 10 == 3) {
                                          throw std::runtime_error("band failed");
                                      }
                                  }),
                 std::runtime_error);
    EXPECT_EQ(ran.load(), 40);
    // The pool is still usable.
    EXPECT_EQ(visits(pool, 10, 3), std::vector<int>(10, 1));
}
