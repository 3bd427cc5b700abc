#pragma once

#include "platform/media/AssetReader.h"

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

// Reads the whole of `track` through a new reader at every iteration, failing
// the benchmark when reading does not complete, and counts the frames read
// a second ("fps").
inline void readWholeVideoTrack(benchmark::State& state, const media::Asset& asset,
                                const media::AssetTrack& track) {
    std::int64_t frames = 0;
    for (auto _ : state) {
        media::AssetReader reader(asset, track);
        reader.startReading();
        frames += readEveryVideoFrame(reader);
        if (reader.status() != media::AssetReader::Status::completed) {
            state.SkipWithError("reading failed");
        }
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

} // namespace vexel::bench
