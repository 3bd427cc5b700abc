#include "platform/playback/Player.h"

#include "platform/playback/QtAudioSink.h"
#include "platform/playback/detail/Disposer.h"
#include "platform/playback/detail/PlaybackPipeline.h"

namespace vexel::playback {

using media::MediaTime;

Player::Player(QObject* parent)
    : Player(std::make_shared<SteadyMonotonicClock>(), nullptr, parent) {}

Player::Player(std::shared_ptr<MonotonicClock> clock, std::unique_ptr<AudioSink> sink,
               QObject* parent)
    : QObject(parent)
    , clock_(std::move(clock))
    , sink_(sink ? std::move(sink) : makeDefaultAudioSink(clock_))
    , disposer_(std::make_unique<detail::Disposer<detail::PlaybackPipeline>>()) {
    sink_->beginRun(run_);
}

Player::~Player() {
    retirePipeline();
    disposer_.reset();
}

void Player::retirePipeline() {
    if (pipeline_) {
        pipeline_->requestStop();
        disposer_->dispose(std::move(pipeline_));
    }
}

void Player::startRun(const MediaTime& start) {
    retirePipeline();
    ++run_;
    sink_->beginRun(run_);
    runStart_ = start;
    ready_ = false;
    ended_ = false;
    error_.reset();
    if (item_) {
        const std::uint64_t run = run_;
        detail::PlaybackPipeline::Events events;
        // Each event comes back to this thread; the player drops those of a
        // run that is over.
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
        pipeline_ = std::make_unique<detail::PlaybackPipeline>(item_, start, run_, *sink_, *clock_,
                                                               std::move(events));
    }
    updateStatus();
}

void Player::updateStatus() {
    bool playing = wantsToPlay_ && item_ && ready_ && !ended_ && !error_;
    sink_->setPlaying(playing);
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

void Player::replaceCurrentItem(std::optional<PlayerItem> item) {
    item_ = item ? std::make_shared<const PlayerItem>(std::move(*item)) : nullptr;
    frame_.reset();
    startRun(MediaTime::zero());
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

void Player::seek(const MediaTime& time) {
    if (!item_) {
        return;
    }
    MediaTime target = min(max(time, MediaTime::zero()), item_->duration());
    // Paused where it is asked to go: the run under way shows that frame.
    if (status_ == TimeControlStatus::paused && !error_ && target == currentTime()) {
        return;
    }
    startRun(target);
}

MediaTime Player::currentTime() const {
    if (!item_) {
        return MediaTime::zero();
    }
    return min(runStart_ + MediaTime(sink_->position(), AudioSink::sampleRate), item_->duration());
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
    wantsToPlay_ = false;
    updateStatus();
    emit failed();
}

} // namespace vexel::playback
