#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace vexel::bench {

// Reads every video frame a started reader gives, touching each so that the
// decoding is not optimised away, and returns how many there were.
template <class Reader> std::int64_t readEveryVideoFrame(Reader& reader) {
    std::int64_t frames = 0;
    while (auto frame = reader.copyNextVideoFrame()) {
        benchmark::DoNotOptimize(frame->buffer.data());
        ++frames;
    }
    return frames;
}

} // namespace vexel::bench
