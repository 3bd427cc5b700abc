#include "platform/playback/Player.h"

#include "platform/playback/QtAudioSink.h"
#include "platform/playback/detail/Disposer.h"
#include "platform/playback/detail/FrameCache.h"
#include "platform/playback/detail/PlaybackPipeline.h"
#include "platform/playback/detail/SeekWorker.h"

#include <algorithm>

namespace vexel::playback {

using media::MediaTime;

namespace {

// How far from a scrub's time a frame at hand may be to show first.
const MediaTime kScrubNearby(1, 2);

} // namespace

Player::Player(QObject* parent)
    : Player(std::make_shared<SteadyMonotonicClock>(), nullptr, parent) {}

Player::Player(std::shared_ptr<MonotonicClock> clock, std::unique_ptr<AudioSink> sink,
               QObject* parent)
    : QObject(parent)
    , clock_(std::move(clock))
    , sink_(sink ? std::move(sink) : makeDefaultAudioSink(clock_))
    , cache_(std::make_shared<detail::FrameCache>(frameCacheBytes))
    , disposer_(std::make_unique<detail::Disposer<detail::PlaybackPipeline>>())
    , seekerDisposer_(std::make_unique<detail::Disposer<detail::SeekWorker>>()) {
    sink_->beginRun(run_);
}

Player::~Player() {
    retirePipeline();
    retireSeeker();
    disposer_.reset();
    seekerDisposer_.reset();
}

void Player::retirePipeline() {
    if (pipeline_) {
        pipeline_->requestStop();
        disposer_->dispose(std::move(pipeline_));
    }
}

void Player::retireSeeker() {
    if (seeker_) {
        seeker_->requestStop();
        seekerDisposer_->dispose(std::move(seeker_));
    }
}

void Player::startRun(const MediaTime& start, bool scrubbing) {
    retirePipeline();
    ++run_;
    sink_->beginRun(run_);
    runStart_ = start;
    ready_ = false;
    ended_ = false;
    awaitingFrame_ = false;
    error_.reset();
    if (item_ && seeker_) {
        // Playback from here starts once the frame here is on screen.
        awaitingFrame_ = true;
        seeker_->request(run_, detail::PlaybackPipeline::firstFrameIndex(*item_, start), scrubbing,
                         shownIndex());
    } else if (item_) {
        startPipeline();
    }
    updateStatus();
}

void Player::startPipeline() {
    const std::uint64_t run = run_;
    detail::PlaybackPipeline::Events events;
    // Each event comes back to this thread; the player drops those of a run
    // that is over.
    events.frameDue = [this, run](media::VideoFrame frame) {
        QMetaObject::invokeMethod(
            this, [this, run, frame] { frameDue(run, frame); }, Qt::QueuedConnection);
    };
    events.ready = [this, run] {
        QMetaObject::invokeMethod(
            this, [this, run] { readyToPlay(run); }, Qt::QueuedConnection);
    };
    events.ended = [this, run] {
        QMetaObject::invokeMethod(
            this, [this, run] { ended(run); }, Qt::QueuedConnection);
    };
    events.failed = [this, run](const media::MediaError& error) {
        QMetaObject::invokeMethod(
            this, [this, run, error] { readingFailed(run, error); }, Qt::QueuedConnection);
    };
    pipeline_ = std::make_unique<detail::PlaybackPipeline>(item_, runStart_, run_, *sink_, *clock_,
                                                           std::move(events));
}

void Player::updateStatus() {
    bool playing = wantsToPlay_ && item_ && ready_ && !ended_ && !error_;
    sink_->setPlaying(playing);
    if (playing && seeker_) {
        // Playback reads through decoders of its own.
        seeker_->releaseDecoders();
    }
    if (pipeline_) {
        pipeline_->setPlaying(playing);
        if (wantsToPlay_) {
            pipeline_->readAheadNow();
        }
    }
    TimeControlStatus status = !wantsToPlay_ ? TimeControlStatus::paused
                               : playing     ? TimeControlStatus::playing
                                             : TimeControlStatus::waitingToPlayAtSpecifiedRate;
    if (status != status_) {
        status_ = status;
        emit timeControlStatusChanged(status_);
    }
}

void Player::replaceCurrentItem(std::optional<PlayerItem> item, MediaTime start) {
    retireSeeker();
    // A cache of its own: the retired worker may still keep a frame of the
    // former item as it ends, where the new item would find it.
    cache_ = std::make_shared<detail::FrameCache>(frameCacheBytes);
    item_ = item ? std::make_shared<const PlayerItem>(std::move(*item)) : nullptr;
    frame_.reset();
    itemRun_ = run_ + 1;
    std::optional<media::MediaError> unseekable;
    const auto& video = item_ ? item_->videoComposition : std::nullopt;
    if (video && video->frameDuration > MediaTime::zero()) {
        detail::SeekWorker::Events events;
        events.shown = [this](std::uint64_t run, media::VideoFrame frame, bool passed) {
            QMetaObject::invokeMethod(
                this, [this, run, frame, passed] { seekShown(run, frame, passed); },
                Qt::QueuedConnection);
        };
        events.failed = [this](std::uint64_t run, const media::MediaError& error) {
            QMetaObject::invokeMethod(
                this, [this, run, error] { readingFailed(run, error); }, Qt::QueuedConnection);
        };
        try {
            seeker_ = std::make_unique<detail::SeekWorker>(item_, cache_, std::move(events));
            seeker_->setShownSize(shownSize_);
        } catch (const media::MediaError& error) {
            unseekable = error;
        }
    }
    // Straight to `start`: a first seek to the item's start would be under way
    // already, and would show that frame before the one asked for.
    startRun(item_ ? clamped(start) : MediaTime::zero());
    if (unseekable) {
        // Reported as reading it would have: on this thread, after this call.
        const std::uint64_t run = run_;
        QMetaObject::invokeMethod(
            this, [this, run, error = *unseekable] { readingFailed(run, error); },
            Qt::QueuedConnection);
    }
}

void Player::play() {
    if (item_ && (ended_ || error_)) {
        return;
    }
    wantsToPlay_ = true;
    updateStatus();
}

void Player::pause() {
    wantsToPlay_ = false;
    updateStatus();
}

MediaTime Player::clamped(const MediaTime& time) const {
    return min(max(time, MediaTime::zero()), item_->duration());
}

void Player::seek(const MediaTime& time) {
    if (!item_) {
        return;
    }
    MediaTime target = clamped(time);
    // Paused where it is asked to go: the run under way shows that frame.
    if (status_ == TimeControlStatus::paused && !error_ && target == currentTime()) {
        return;
    }
    startRun(target);
}

void Player::scrub(const MediaTime& time) {
    if (!item_) {
        return;
    }
    MediaTime target = clamped(time);
    if (status_ == TimeControlStatus::paused && !error_ && target == currentTime()) {
        return;
    }
    if (seeker_) {
        const std::int64_t n = detail::PlaybackPipeline::firstFrameIndex(*item_, target);
        // Whole frames within reach: floor(reach / frame duration).
        const MediaTime& step = item_->videoComposition->frameDuration;
        const std::int64_t within =
            (kScrubNearby.value() * step.timescale()) / (step.value() * kScrubNearby.timescale());
        std::int64_t low = n - within;
        std::int64_t high = n + within;
        // Only a frame between the picture and the hand: one behind the
        // picture would step back, one past the hand would be stepped back
        // from when the exact frame comes.
        if (const std::optional<std::int64_t> shown = shownIndex()) {
            low = std::max(low, std::min(*shown, n));
            high = std::min(high, std::max(*shown, n));
        }
        std::optional<media::VideoFrame> nearby = cache_->nearest(n, low, high);
        if (nearby) {
            frame_ = std::move(*nearby);
            emit videoFrameChanged(*frame_);
        }
    }
    startRun(target, true);
}

std::optional<std::int64_t> Player::shownIndex() const {
    if (!frame_ || !item_) {
        return std::nullopt;
    }
    return detail::PlaybackPipeline::firstFrameIndex(*item_, frame_->time);
}

bool Player::onTheWay(std::int64_t n) const {
    const std::optional<std::int64_t> shown = shownIndex();
    if (!shown) {
        return true;
    }
    const std::int64_t target = detail::PlaybackPipeline::firstFrameIndex(*item_, runStart_);
    return std::min(*shown, target) <= n && n <= std::max(*shown, target);
}

void Player::setShownSize(std::optional<media::Size> size) {
    if (size == shownSize_) {
        return;
    }
    shownSize_ = size;
    // The worker first, so that it keeps nothing scaled for the former size
    // after the clear: frames at that size would show at the wrong one.
    if (seeker_) {
        seeker_->setShownSize(size);
    }
    cache_->clear();
}

SeekStatistics Player::seekStatistics() const {
    SeekStatistics statistics = seeker_ ? seeker_->statistics() : SeekStatistics{};
    statistics.cachedFrames = static_cast<std::int64_t>(cache_->count());
    statistics.cachedBytes = static_cast<std::int64_t>(cache_->bytes());
    return statistics;
}

MediaTime Player::currentTime() const {
    if (!item_) {
        return MediaTime::zero();
    }
    return min(runStart_ + MediaTime(sink_->position(), AudioSink::sampleRate), item_->duration());
}

void Player::seekShown(std::uint64_t run, media::VideoFrame frame, bool passed) {
    // A frame of a run since replaced, or one a scrub passed on its way,
    // still shows while its item does, when it lies between the picture and
    // the newest seek's frame: it is where a drag was a moment ago, and the
    // newer frame follows. One behind the picture, or past that frame, would
    // step back against the hand.
    if (run < itemRun_ || run > run_) {
        return;
    }
    const std::int64_t n = detail::PlaybackPipeline::firstFrameIndex(*item_, frame.time);
    if ((run != run_ || passed) && (!onTheWay(n) || (passed && n == shownIndex()))) {
        return;
    }
    frame_ = std::move(frame);
    emit videoFrameChanged(*frame_);
    // Only the frame the seek asked for ends its wait.
    if (run == run_ && !passed && awaitingFrame_) {
        awaitingFrame_ = false;
        startPipeline();
        updateStatus();
    }
}

void Player::frameDue(std::uint64_t run, media::VideoFrame frame) {
    if (run != run_) {
        return;
    }
    frame_ = std::move(frame);
    emit videoFrameChanged(*frame_);
}

void Player::readyToPlay(std::uint64_t run) {
    if (run != run_) {
        return;
    }
    ready_ = true;
    updateStatus();
}

void Player::ended(std::uint64_t run) {
    if (run != run_) {
        return;
    }
    ended_ = true;
    wantsToPlay_ = false;
    updateStatus();
}

void Player::readingFailed(std::uint64_t run, const media::MediaError& error) {
    if (run != run_) {
        return;
    }
    error_ = error;
    awaitingFrame_ = false;
    wantsToPlay_ = false;
    updateStatus();
    emit failed();
}

} // namespace vexel::playback
