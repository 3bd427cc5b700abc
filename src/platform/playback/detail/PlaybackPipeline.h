#pragma once

// One stretch of playback of an item from one place on, begun once the frame
// showing at the start is on screen (the player's seek shows it). Once that
// frame has shown for a moment (so that scrubbing does not start reading ahead
// at every step) or at once when playing is asked for, the rest is read ahead
// on worker threads, its sound written to the sink and its frames handed on as
// the sink's position reaches them. A seek or a new item ends it and starts
// another. Internal to the player.

#include "platform/media/CompositionReader.h"
#include "platform/media/InputQueue.h"
#include "platform/playback/AudioSink.h"
#include "platform/playback/MonotonicClock.h"
#include "platform/playback/PlayerItem.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vexel::playback::detail {

class PlaybackPipeline {
public:
    // Called on the pipeline's threads.
    struct Events {
        // A frame after the one showing at the start, when the position
        // reaches it. A frame that is ready only after the next one is due is
        // dropped.
        std::function<void(media::VideoFrame)> frameDue;
        // Enough frames after the start and the first sound are queued (or
        // there are no more): playing can begin without a stall.
        std::function<void()> ready;
        // The position reached the item's end.
        std::function<void()> ended;
        // Reading failed; the pipeline has stopped.
        std::function<void(media::MediaError)> failed;
    };

    // Plays `item` from `start` (within its duration) as the sink's run `run`,
    // which the caller has begun.
    PlaybackPipeline(std::shared_ptr<const PlayerItem> item, const media::MediaTime& start,
                     std::uint64_t run, AudioSink& sink, MonotonicClock& clock, Events events);
    // Stops and joins every thread.
    ~PlaybackPipeline();

    PlaybackPipeline(const PlaybackPipeline&) = delete;
    PlaybackPipeline& operator=(const PlaybackPipeline&) = delete;

    // The index, on the item's frame grid, of the frame showing at `start`
    // (within the item's duration): the last frame at the very end.
    static std::int64_t firstFrameIndex(const PlayerItem& item, const media::MediaTime& start);

    // Ends the work soon without waiting for it. An event already under way
    // may still come.
    void requestStop();
    // Whether the sink is playing: frames after the first wait for it.
    void setPlaying(bool playing);
    // Playing is asked for: reading ahead starts now rather than after the
    // first frame has shown for a moment.
    void readAheadNow();

private:
    void read();
    void writeSound();
    void present();
    bool waitFor(const bool& flag);
    bool waitForPosition(std::int64_t frames);
    void markReady(bool& part);
    void fail(const media::MediaError& error);

    std::shared_ptr<const PlayerItem> item_;
    media::MediaTime start_;
    std::uint64_t run_;
    AudioSink& sink_;
    MonotonicClock& clock_;
    Events events_;

    std::stop_source stop_;
    // Ends the pause before reading ahead.
    std::stop_source readAheadNow_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    bool playing_ = false;
    // The pause before reading ahead is over.
    bool readingAhead_ = false;
    bool videoReady_ = false;
    bool soundReady_ = false;
    bool readySent_ = false;
    std::atomic<bool> failed_{false};

    // The frames after the one at the start; the sound from the start.
    std::unique_ptr<media::CompositionReader> videoReader_;
    std::unique_ptr<media::CompositionReader> soundReader_;
    media::InputQueue<media::VideoFrame> frames_;
    std::thread reading_;
    std::thread sound_;
    std::thread presenting_;
};

} // namespace vexel::playback::detail
