#pragma once

#include "platform/media/Composition.h"
#include "platform/media/VideoComposition.h"
#include "platform/media/VideoFrame.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vexel::media {

namespace detail {
class SeekDecoder;
}

// Composes single frames of a composition wherever they are asked for, as a
// player's seeks want them: each source keeps its decoder where the last frame
// left it, so that a later frame in the same group of pictures, or shortly
// after, decodes on from there rather than from the key frame before it. Only
// the frames handed out are converted and composed.
//
// One thread asks for frames; cancel may come from any.
class CompositionFrameSeeker {
public:
    struct Options {
        // Threads of each source's decoder; one per core when absent.
        std::optional<int> decoderThreads{};
        // Sources whose decoders stay open at once; the one used least
        // recently closes first.
        std::size_t maxOpenDecoders = 4;
    };

    // Asked between packets: true gives up the frame under way.
    using Abandon = std::function<bool()>;

    // Throws MediaError (invalidArgument) unless the frame duration is
    // positive, or when the compositor factory makes no compositor.
    CompositionFrameSeeker(Composition composition, VideoComposition videoComposition,
                           Options options);
    CompositionFrameSeeker(Composition composition, VideoComposition videoComposition);
    ~CompositionFrameSeeker();

    CompositionFrameSeeker(const CompositionFrameSeeker&) = delete;
    CompositionFrameSeeker& operator=(const CompositionFrameSeeker&) = delete;

    // Frame n, at n x frame duration, composed; nothing when abandoned or
    // cancelled. Throws MediaError when a source cannot be read or the
    // compositor fails.
    std::optional<VideoFrame> frameAt(std::int64_t n, const Abandon& abandon = {});

    // About how many packets of its sources frame n decodes, from where the
    // decoders are now: a measure for choosing between frames, not a time.
    std::int64_t decodingCost(std::int64_t n);

    // Frames that came out of the sources' decoders so far, and the times a
    // decoder went back to a key frame.
    std::int64_t framesDecoded() const;
    std::int64_t keyFrameSeeks() const;

    // Closes every source's decoder, giving back its memory; the next frame
    // opens them again. From the thread that asks for frames.
    void closeDecoders();

    // Ends the frame under way and every later one.
    void cancel();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vexel::media
