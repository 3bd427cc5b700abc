#include "platform/playback/detail/SeekWorker.h"

#include "foundation/WorkerPool.h"
#include "platform/image/Compositing.h"
#include "platform/image/Picture.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace vexel::playback::detail {

namespace {

// The seeks wait while a frame is scaled for the cache, their decoders idle:
// these threads and the seeks' own scale it, half the cores of the machines
// we aim at, leaving the rest to the window and the pictures it draws.
constexpr unsigned kScalingThreads = 3;

} // namespace

SeekWorker::SeekWorker(std::shared_ptr<const PlayerItem> item, std::shared_ptr<FrameCache> cache,
                       Events events)
    : cache_(std::move(cache))
    , events_(std::move(events))
    , seeker_(item->composition, *item->videoComposition)
    , scalers_(std::make_unique<WorkerPool>(kScalingThreads))
    , thread_([this] { run(); }) {}

SeekWorker::~SeekWorker() {
    requestStop();
    thread_.join();
}

void SeekWorker::request(std::uint64_t run, std::int64_t n, bool scrubbing,
                         std::optional<std::int64_t> picture) {
    std::lock_guard lock(mutex_);
    if (waiting_) {
        ++statistics_.skipped;
    }
    waiting_ = Request{run, n, scrubbing, false, picture};
    changed_.notify_all();
}

void SeekWorker::releaseDecoders() {
    std::lock_guard lock(mutex_);
    releasing_ = true;
    changed_.notify_all();
}

void SeekWorker::setShownSize(std::optional<media::Size> size) {
    std::lock_guard lock(mutex_);
    shownSize_ = size;
}

void SeekWorker::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }
    seeker_.cancel();
}

SeekStatistics SeekWorker::statistics() const {
    std::lock_guard lock(mutex_);
    SeekStatistics statistics = statistics_;
    statistics.sourceFrames = seeker_.framesDecoded();
    statistics.keyFrameSeeks = seeker_.keyFrameSeeks();
    return statistics;
}

void SeekWorker::run() {
    while (true) {
        std::optional<Request> request;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopped_ || waiting_ || releasing_; });
            if (stopped_) {
                return;
            }
            request = std::exchange(waiting_, std::nullopt);
            // A seek waiting comes first; its decoders are released after it.
            if (!request) {
                releasing_ = false;
            }
        }
        if (request) {
            if (const std::optional<std::int64_t> passing = passingFrame(*request)) {
                // The frame asked for comes next, unless a newer seek has
                // taken its place meanwhile.
                {
                    std::lock_guard lock(mutex_);
                    if (!waiting_) {
                        waiting_ = request;
                    }
                }
                if (!show(Request{request->run, *passing, true, true, std::nullopt})) {
                    // Not passed after all: the frame asked for goes
                    // straight on.
                    std::lock_guard lock(mutex_);
                    if (waiting_ && waiting_->run == request->run &&
                        waiting_->frame == request->frame) {
                        waiting_->scrubbing = false;
                    }
                }
            } else {
                show(*request);
            }
        } else {
            seeker_.closeDecoders();
        }
    }
}

bool SeekWorker::newerShowsSooner(std::int64_t underWay) {
    std::int64_t newer = 0;
    {
        std::lock_guard lock(mutex_);
        if (stopped_) {
            return true;
        }
        if (!waiting_) {
            return false;
        }
        newer = waiting_->frame;
    }
    if (cache_->contains(newer)) {
        return true;
    }
    // Costs from where the decoders are now: a newer frame that decodes on
    // from the one under way costs at least what is left of it.
    return seeker_.decodingCost(newer) < seeker_.decodingCost(underWay);
}

std::optional<std::int64_t> SeekWorker::passingFrame(const Request& request) {
    if (!request.scrubbing || !lastShown_) {
        return std::nullopt;
    }
    // Past the picture too: one behind it would never show.
    const std::int64_t passing =
        std::max(*lastShown_, request.picture.value_or(*lastShown_)) + passingStride;
    if (request.frame <= passing || cache_->contains(request.frame)) {
        return std::nullopt;
    }
    // Only on the decoder's way there: the frame passed decodes on from
    // where the decoders are, and so does the frame asked for, rather than
    // from a key frame far past the picture. The decoders read ahead of the
    // frame handed out last by up to about kReadAhead frames.
    constexpr std::int64_t kReadAhead = 16;
    const std::int64_t toPassing = seeker_.decodingCost(passing);
    const std::int64_t toFrame = seeker_.decodingCost(request.frame);
    if (toPassing > passingStride || toFrame + kReadAhead < request.frame - *lastShown_) {
        return std::nullopt;
    }
    return passing;
}

bool SeekWorker::show(const Request& request) {
    if (std::optional<media::VideoFrame> kept = cache_->find(request.frame)) {
        {
            std::lock_guard lock(mutex_);
            ++statistics_.fromCache;
        }
        lastShown_ = request.frame;
        events_.shown(request.run, std::move(*kept), request.passing);
        return true;
    }
    try {
        std::optional<media::VideoFrame> frame =
            seeker_.frameAt(request.frame, [&] { return newerShowsSooner(request.frame); });
        {
            std::lock_guard lock(mutex_);
            ++(frame ? statistics_.decoded : statistics_.abandoned);
        }
        if (!frame) {
            return false;
        }
        // Shown before it is scaled for keeping, which would delay it; the
        // next seek comes to this thread only once it is kept.
        lastShown_ = request.frame;
        events_.shown(request.run, *frame, request.passing);
        keep(request.frame, *frame);
        return true;
    } catch (const media::MediaError& error) {
        // A frame only passed is no seek's: the one asked for tells.
        if (!request.passing) {
            events_.failed(request.run, error);
        }
    } catch (const std::exception& error) {
        if (!request.passing) {
            events_.failed(request.run, media::MediaError(media::MediaError::Kind::decodingFailed,
                                                          error.what()));
        }
    }
    return false;
}

void SeekWorker::keep(std::int64_t n, const media::VideoFrame& frame) {
    std::optional<media::Size> shown;
    {
        std::lock_guard lock(mutex_);
        shown = shownSize_;
    }
    media::VideoFrame scaled = scaledToFit(frame, shown);
    // Checked and kept under the lock: once the shown size has changed, the
    // player lets go of what was kept at the former one, and a frame scaled
    // for it meanwhile must not come in after.
    std::lock_guard lock(mutex_);
    if (shownSize_ == shown) {
        cache_->insert(n, std::move(scaled));
    }
    ++statistics_.settled;
}

media::VideoFrame SeekWorker::scaledToFit(const media::VideoFrame& frame,
                                          const std::optional<media::Size>& shown) {
    const media::PixelBuffer& pixels = frame.buffer;
    if (!shown || pixels.isNull() || shown->width < 1 || shown->height < 1 ||
        (shown->width >= pixels.width() && shown->height >= pixels.height())) {
        return frame;
    }
    // The shown size has the picture's shape: at that size the preview draws
    // the frame one to one.
    const int width = std::max(1, static_cast<int>(std::lround(shown->width)));
    const int height = std::max(1, static_cast<int>(std::lround(shown->height)));
    if (width > media::PixelBuffer::maxDimension || height > media::PixelBuffer::maxDimension) {
        return frame;
    }
    media::PixelBuffer scaled = media::PixelBuffer::create(width, height);
    const image::Picture picture = image::Picture(pixels).transformed(
        media::Affine::scale(static_cast<double>(width) / pixels.width(),
                             static_cast<double>(height) / pixels.height()));
    image::renderInto(scaled, picture, *scalers_);
    scaled.setOpaque(pixels.isOpaque());
    return media::VideoFrame{std::move(scaled), frame.time, frame.duration};
}

} // namespace vexel::playback::detail
