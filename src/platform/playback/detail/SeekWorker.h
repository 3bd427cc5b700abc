#pragma once

// Decodes the frames that seeks ask for, one at a time on a thread of its
// own, for one item. A seek asked while another is decoding replaces any seek
// still waiting, so a burst decodes the first and the last. The decode under
// way gives way to the newer seek only when that one would show sooner than
// it: a later frame that decodes on from it lets it finish on the way. A
// scrub whose frame lies far ahead on the decoder's way shows frames it
// passes, a few apart, so that a picture fallen behind a quick hand still
// moves. Frames shown are kept in the cache, at the size the picture is shown
// at when that is smaller, and a seek to a kept frame shows it at once.
// Internal to the player.

#include "platform/media/CompositionFrameSeeker.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaError.h"
#include "platform/playback/PlayerItem.h"
#include "platform/playback/SeekStatistics.h"
#include "platform/playback/detail/FrameCache.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace vexel {
class WorkerPool;
}

namespace vexel::playback::detail {

class SeekWorker {
public:
    // Called on the worker's thread.
    struct Events {
        // The frame a seek asked for, with the run that asked; `passed`: a
        // frame a scrub's decode passed on the way to the one it asked for.
        std::function<void(std::uint64_t run, media::VideoFrame frame, bool passed)> shown;
        std::function<void(std::uint64_t run, media::MediaError error)> failed;
    };

    // The item must have a video composition with a positive frame duration.
    // Throws MediaError as CompositionFrameSeeker does.
    SeekWorker(std::shared_ptr<const PlayerItem> item, std::shared_ptr<FrameCache> cache,
               Events events);
    // Stops the decode under way and joins.
    ~SeekWorker();

    SeekWorker(const SeekWorker&) = delete;
    SeekWorker& operator=(const SeekWorker&) = delete;

    // How many frames apart a scrub shows the frames it passes.
    static constexpr std::int64_t passingStride = 5;

    // Shows frame n for `run`, after the decode under way, in place of any
    // seek still waiting. A scrub (`scrubbing`) also shows frames it passes
    // between the frame on screen (`picture`) and n.
    void request(std::uint64_t run, std::int64_t n, bool scrubbing = false,
                 std::optional<std::int64_t> picture = std::nullopt);
    // Closes the decoders once no seek is waiting, giving back their memory
    // while playback reads on its own; the next seek opens them again.
    void releaseDecoders();
    // Frames kept from now on are scaled to fit within `size`, in pixels,
    // when they are larger; none keeps them as composed. A frame scaled for
    // the former size is not kept once this returns.
    void setShownSize(std::optional<media::Size> size);
    // Ends the work soon, without waiting.
    void requestStop();

    // Without the cache's share.
    SeekStatistics statistics() const;

private:
    struct Request {
        std::uint64_t run = 0;
        std::int64_t frame = 0;
        bool scrubbing = false;
        // A frame passed on the way to the one asked for.
        bool passing = false;
        // The frame on screen when it was asked for.
        std::optional<std::int64_t> picture;
    };

    void run();
    // The frame a scrub passes first on its way, when it is to show one.
    std::optional<std::int64_t> passingFrame(const Request& request);
    // False when the frame did not show: abandoned, or it failed.
    bool show(const Request& request);
    bool newerShowsSooner(std::int64_t underWay);
    // Keeps frame n in the cache, at the shown size when that is smaller.
    void keep(std::int64_t n, const media::VideoFrame& frame);
    media::VideoFrame scaledToFit(const media::VideoFrame& frame,
                                  const std::optional<media::Size>& shown);

    std::shared_ptr<FrameCache> cache_;
    Events events_;
    media::CompositionFrameSeeker seeker_;
    std::unique_ptr<WorkerPool> scalers_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Request> waiting_;
    std::optional<media::Size> shownSize_;
    bool releasing_ = false;
    bool stopped_ = false;
    SeekStatistics statistics_;
    // The frame this worker handed out last; its thread only.
    std::optional<std::int64_t> lastShown_;

    std::thread thread_; // last: started once the rest is in place
};

} // namespace vexel::playback::detail
