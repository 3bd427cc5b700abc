#include "platform/memory/Heap.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <latch>
#include <string>
#include <thread>
#include <vector>

using namespace vexel;

namespace {

// The arenas the heap has now, as its own report counts them.
int arenaCount() {
    char* text = nullptr;
    std::size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    malloc_info(0, out);
    std::fclose(out);
    const std::string report(text, size);
    std::free(text);
    int count = 0;
    for (std::size_t at = report.find("<heap nr="); at != std::string::npos;
         at = report.find("<heap nr=", at + 1)) {
        ++count;
    }
    return count;
}

// Bytes the arenas hold from the system, in use or not.
std::size_t arenaBytes() {
    return mallinfo2().arena;
}

} // namespace

TEST(HeapTest, ThreadsShareAFewArenasAndFreedFramesGoBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the heap";
#endif
    memory::boundHeapGrowth();

    // Thirty-two threads allocating at once: by default each would get an
    // arena of its own, up to eight per core.
    const int before = arenaCount();
    constexpr int threads = 32;
    std::latch allocated(threads);
    std::latch done(1);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&] {
            void* volatile block = std::malloc(4096);
            allocated.count_down();
            done.wait();
            std::free(block);
        });
    }
    allocated.wait();
    const int during = arenaCount();
    done.count_down();
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_LE(during, std::max(before, memory::maxArenas));

    // A worker that has freed one large frame, then many smaller ones: by
    // default the first raises the size kept free to twice its own, and the
    // arena keeps the rest.
    const std::size_t held = arenaBytes();
    std::thread worker([] {
        void* volatile frame = std::malloc(std::size_t{16} << 20);
        std::free(frame);
        std::vector<void*> blocks;
        for (int i = 0; i < 20; ++i) {
            blocks.push_back(std::malloc(std::size_t{1} << 20));
        }
        for (void* block : blocks) {
            std::free(block);
        }
    });
    worker.join();
    EXPECT_LE(arenaBytes(), held + 2 * static_cast<std::size_t>(memory::trimThreshold));
}
