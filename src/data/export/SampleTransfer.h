#pragma once

#include "foundation/CancellationError.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/MovieWriter.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <stop_token>

namespace vexel {

inline bool appendSample(media::VideoWriterInput& input, const media::VideoFrame& frame) {
    return input.append(frame.buffer, frame.time);
}
inline bool appendSample(media::AudioWriterInput& input, const media::FloatAudioSamples& samples) {
    return input.append(samples);
}

// Moves every sample of one reader output into one writer input, on the
// calling thread: while the input has room, the next sample is taken, its
// time over `duration` (at most 1) reported, and it is appended. Ends
// normally when the output has no more samples (the reader completed or
// failed, which its status tells) or when the writer stops taking them (its
// status tells); throws CancellationError once the reader is cancelled or
// `stop` is requested. The input is marked finished however it ends.
template <typename Input, typename Next>
void transferSamples(Input& input, Next nextSample, media::CompositionReader& reader,
                     const media::MovieWriter& writer, double duration,
                     const std::function<void(double)>& onFraction, std::stop_token stop) {
    // How long a wait for room lasts before cancellation and the writer are
    // looked at again; room usually comes much sooner.
    constexpr std::chrono::milliseconds poll{50};
    struct FinishOnExit {
        Input& input;
        ~FinishOnExit() { input.markAsFinished(); }
    } finish{input};
    auto cancelled = [&] {
        return stop.stop_requested() ||
               reader.status() == media::CompositionReader::Status::cancelled;
    };
    while (true) {
        while (!input.waitUntilReadyForMoreMediaData(poll)) {
            if (cancelled()) {
                throw CancellationError();
            }
            if (writer.status() != media::MovieWriter::Status::writing) {
                return;
            }
        }
        if (cancelled()) {
            throw CancellationError();
        }
        auto sample = nextSample();
        if (!sample) {
            return;
        }
        if (duration > 0) {
            onFraction(std::min(sample->time.seconds() / duration, 1.0));
        }
        if (!appendSample(input, *sample)) {
            return;
        }
    }
}

} // namespace vexel
