#pragma once

#include "platform/media/Geometry.h"
#include "platform/media/MediaError.h"
#include "platform/media/VideoFrame.h"
#include "platform/playback/AudioSink.h"
#include "platform/playback/MonotonicClock.h"
#include "platform/playback/PlayerItem.h"
#include "platform/playback/SeekStatistics.h"
#include "platform/playback/TimeControlStatus.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

namespace vexel::playback {

namespace detail {
class FrameCache;
class PlaybackPipeline;
class SeekWorker;
template <typename Object> class Disposer;
} // namespace detail

// Plays one item at a time: its frames, composed ahead on worker threads, are
// handed on as they are due, and its sound goes to the sink, whose position is
// the clock everything follows. Seeks decode one at a time, the newest first,
// and the frames they showed are kept (within a bound) so that going back over
// them shows them at once. A player lives on one thread (the one that made
// it), which none of its operations blocks; its signals come there.
class Player : public QObject {
    Q_OBJECT

public:
    // Plays on the default sound device, or on a silent clock where there is
    // none.
    explicit Player(QObject* parent = nullptr);
    Player(std::shared_ptr<MonotonicClock> clock, std::unique_ptr<AudioSink> sink,
           QObject* parent = nullptr);
    ~Player() override;

    // What is played from now on, from `start` (within the item); none stops
    // playback. Asked to play, the player plays the new item as soon as it can.
    void replaceCurrentItem(std::optional<PlayerItem> item,
                            media::MediaTime start = media::MediaTime::zero());
    // Null when there is none.
    const PlayerItem* currentItem() const { return item_.get(); }

    // Asks to play. The status is playing once enough is read ahead to play
    // without a stall, waiting until then; a player at its item's end stays
    // paused.
    void play();
    void pause();

    // What the frames kept for going back take at most.
    static constexpr std::size_t frameCacheBytes = std::size_t{256} << 20;

    // Seeks exactly: the frame showing at `time` (kept within the item) is
    // shown once decoded, and the current time is `time` at once. A seek asked
    // while an earlier one decodes replaces any still waiting; the earlier one
    // still shows its frame unless the newer would show sooner, and only when
    // that frame lies between the picture and the newer one's: the picture
    // never steps back against the way the seeks go, nor past the last.
    // Nothing without an item.
    void seek(const media::MediaTime& time);
    // Seeks as a drag of the playhead does: a frame already at hand within
    // half a second of `time`, between the picture and it, shows at once,
    // then the exact frame, as seek() shows it.
    void scrub(const media::MediaTime& time);

    // The size the picture is shown at, in pixels; none when unknown. Frames
    // kept for going back are kept at that size when it is smaller.
    void setShownSize(std::optional<media::Size> size);

    // What seeking has cost since the item was set.
    SeekStatistics seekStatistics() const;

    // Where playback is within the item; zero without one.
    media::MediaTime currentTime() const;

    TimeControlStatus timeControlStatus() const { return status_; }
    // Calls `observer` with the status now and with every change after, on the
    // player's thread, while `context` exists.
    template <typename Observer>
    QMetaObject::Connection observeTimeControlStatus(const QObject* context, Observer observer) {
        QMetaObject::Connection connection =
            connect(this, &Player::timeControlStatusChanged, context, observer);
        observer(status_);
        return connection;
    }

    // The frame shown last; none before the first or without an item.
    const std::optional<media::VideoFrame>& currentVideoFrame() const { return frame_; }
    // Why the item stopped playing, until the next item or seek.
    const std::optional<media::MediaError>& error() const { return error_; }

signals:
    void timeControlStatusChanged(vexel::playback::TimeControlStatus status);
    // A frame is due on screen.
    void videoFrameChanged(const vexel::media::VideoFrame& frame);
    // Reading the item failed (see error()); the player has paused.
    void failed();

private:
    // With `scrubbing`, the seek shows frames it passes on a long way.
    void startRun(const media::MediaTime& start, bool scrubbing = false);
    void startPipeline();
    void retirePipeline();
    void retireSeeker();
    media::MediaTime clamped(const media::MediaTime& time) const;
    // `passed`: a frame a scrub's decode passed, not the one it asked for.
    void seekShown(std::uint64_t run, media::VideoFrame frame, bool passed);
    // The frame on screen, on the item's frame grid; none before the first.
    std::optional<std::int64_t> shownIndex() const;
    // Whether frame n lies between the frame on screen and the current
    // run's own, both included.
    bool onTheWay(std::int64_t n) const;
    void updateStatus();

    void frameDue(std::uint64_t run, media::VideoFrame frame);
    void readyToPlay(std::uint64_t run);
    void ended(std::uint64_t run);
    void readingFailed(std::uint64_t run, const media::MediaError& error);

    std::shared_ptr<MonotonicClock> clock_;
    std::unique_ptr<AudioSink> sink_;
    std::shared_ptr<const PlayerItem> item_;
    bool wantsToPlay_ = false;
    TimeControlStatus status_ = TimeControlStatus::paused;

    // Each seek or item plays as a run of its own; late news of an earlier run
    // is dropped.
    std::uint64_t run_ = 0;
    media::MediaTime runStart_;
    bool ready_ = false;
    bool ended_ = false;
    std::unique_ptr<detail::PlaybackPipeline> pipeline_;
    // The first run of the item: frames of earlier runs are another item's.
    std::uint64_t itemRun_ = 0;
    // The run's frame at its start is still to come: its playback starts
    // then.
    bool awaitingFrame_ = false;
    std::shared_ptr<detail::FrameCache> cache_;
    std::optional<media::Size> shownSize_;
    std::unique_ptr<detail::SeekWorker> seeker_;
    std::optional<media::VideoFrame> frame_;
    std::optional<media::MediaError> error_;
    // Last: end every pipeline and seeker before the sink and the clock go.
    std::unique_ptr<detail::Disposer<detail::PlaybackPipeline>> disposer_;
    std::unique_ptr<detail::Disposer<detail::SeekWorker>> seekerDisposer_;
};

} // namespace vexel::playback
