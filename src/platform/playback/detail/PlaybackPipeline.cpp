#include "platform/playback/detail/PlaybackPipeline.h"

#include "platform/playback/detail/ClockPosition.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace vexel::playback::detail {

namespace {

using media::MediaTime;

__extension__ using Wide = __int128;

// floor(time / step) for a positive step, exactly.
std::int64_t stepsAtOrBefore(const MediaTime& time, const MediaTime& step) {
    Wide top = static_cast<Wide>(time.value()) * step.timescale();
    Wide bottom = static_cast<Wide>(step.value()) * time.timescale();
    Wide quotient = top / bottom;
    if (top % bottom != 0 && top < 0) {
        --quotient;
    }
    return static_cast<std::int64_t>(quotient);
}

// The first sample frame at or after `time` (ceil(time x rate)).
std::int64_t sampleAtOrAfter(const MediaTime& time) {
    Wide top = static_cast<Wide>(time.value()) * AudioSink::sampleRate;
    Wide quotient = top / time.timescale();
    if (top % time.timescale() > 0) {
        ++quotient;
    }
    return static_cast<std::int64_t>(quotient);
}

// Frames queued ready to show: half a second, within what the read-ahead of
// the composition reader adds to about a second.
std::size_t framesAhead(const std::optional<media::VideoComposition>& video) {
    if (!video) {
        return 2;
    }
    double perHalfSecond = 0.5 / video->frameDuration.seconds();
    return static_cast<std::size_t>(std::clamp(perHalfSecond, 2.0, 30.0));
}

std::unique_ptr<media::CompositionReader> makeReader(const PlayerItem& item, const MediaTime& from,
                                                     const MediaTime& to, int threads, bool video) {
    media::CompositionReader::Options options;
    options.timeRange = media::MediaTimeRange{from, max(to - from, MediaTime::zero())};
    options.threads = threads;
    auto reader = std::make_unique<media::CompositionReader>(item.composition, options);
    if (video) {
        reader->addVideoOutput(*item.videoComposition);
    } else {
        reader->addAudioOutput(item.audioMix);
    }
    return reader;
}

// Sample frames handed to the sink at once: a twentieth of a second, well
// within any sink's buffer.
constexpr std::size_t kSoundSlice = AudioSink::sampleRate / 20;

// How long the frame at the start shows before reading ahead begins unasked.
constexpr MonotonicClock::Duration kReadAheadDelay = std::chrono::milliseconds(100);

// The longest the presenting thread sleeps before it looks at the position
// again, so that a sound device whose clock runs a little fast is followed.
constexpr MonotonicClock::Duration kLongestWait = std::chrono::milliseconds(20);

} // namespace

PlaybackPipeline::PlaybackPipeline(std::shared_ptr<const PlayerItem> item, const MediaTime& start,
                                   std::uint64_t run, AudioSink& sink, MonotonicClock& clock,
                                   Events events)
    : item_(std::move(item))
    , start_(start)
    , run_(run)
    , sink_(sink)
    , clock_(clock)
    , events_(std::move(events))
    , frames_(framesAhead(item_->videoComposition)) {
    const MediaTime duration = item_->duration();
    const auto& video = item_->videoComposition;
    if (video && video->frameDuration > MediaTime::zero()) {
        const MediaTime& step = video->frameDuration;
        // The first frame is the seek's: reading starts after it.
        const MediaTime firstFrameTime(firstFrameIndex(*item_, start_) * step.value(),
                                       step.timescale());
        MediaTime afterFirst = min(firstFrameTime + step, duration);
        // Reading ahead takes every core.
        videoReader_ = makeReader(*item_, afterFirst, duration, 0, true);
    }
    // Mixing uses a thread per audio track at most; a few are plenty.
    soundReader_ = makeReader(*item_, start_, duration, 2, false);

    reading_ = std::thread([this] { read(); });
    sound_ = std::thread([this] { writeSound(); });
    presenting_ = std::thread([this] { present(); });
}

std::int64_t PlaybackPipeline::firstFrameIndex(const PlayerItem& item, const MediaTime& start) {
    const auto& video = item.videoComposition;
    if (!video || !(video->frameDuration > MediaTime::zero())) {
        return 0;
    }
    const MediaTime& step = video->frameDuration;
    std::int64_t n = std::max<std::int64_t>(stepsAtOrBefore(start, step), 0);
    if (n > 0 && MediaTime(n * step.value(), step.timescale()) >= item.duration()) {
        --n;
    }
    return n;
}

PlaybackPipeline::~PlaybackPipeline() {
    requestStop();
    for (std::thread* thread : {&reading_, &sound_, &presenting_}) {
        thread->join();
    }
}

void PlaybackPipeline::requestStop() {
    stop_.request_stop();
    readAheadNow_.request_stop();
    {
        std::lock_guard lock(mutex_);
        for (auto* reader : {&videoReader_, &soundReader_}) {
            if (*reader) {
                (*reader)->cancelReading();
            }
        }
    }
    frames_.abort();
}

void PlaybackPipeline::setPlaying(bool playing) {
    std::lock_guard lock(mutex_);
    playing_ = playing;
    changed_.notify_all();
}

void PlaybackPipeline::readAheadNow() {
    readAheadNow_.request_stop();
}

void PlaybackPipeline::fail(const media::MediaError& error) {
    if (!failed_.exchange(true) && !stop_.stop_requested()) {
        events_.failed(error);
    }
    requestStop();
}

void PlaybackPipeline::markReady(bool& part) {
    bool send = false;
    {
        std::lock_guard lock(mutex_);
        part = true;
        send = videoReady_ && soundReady_ && !std::exchange(readySent_, true);
    }
    if (send && !stop_.stop_requested()) {
        events_.ready();
    }
}

bool PlaybackPipeline::waitFor(const bool& flag) {
    std::unique_lock lock(mutex_);
    return changed_.wait(lock, stop_.get_token(), [&] { return flag; });
}

void PlaybackPipeline::read() {
    // True, having failed the pipeline, when the reader failed.
    auto failedReading = [this](media::CompositionReader& reader) {
        if (auto error = reader.error()) {
            fail(*error);
            return true;
        }
        return false;
    };
    if (videoReader_) {
        clock_.waitUntil(clock_.now() + kReadAheadDelay, readAheadNow_.get_token());
        if (stop_.stop_requested()) {
            return;
        }
    }
    {
        std::lock_guard lock(mutex_);
        readingAhead_ = true;
        changed_.notify_all();
    }
    if (!videoReader_) {
        markReady(videoReady_);
        return;
    }
    if (!videoReader_->startReading()) {
        failedReading(*videoReader_);
        return;
    }
    // Playing starts with half the queue filled, so that a slow start of
    // reading ahead does not cost the first frames.
    const std::size_t enough = std::max<std::size_t>(framesAhead(item_->videoComposition) / 2, 1);
    std::size_t queued = 0;
    while (auto frame = videoReader_->copyNextVideoFrame()) {
        if (!frames_.push(std::move(*frame))) {
            return;
        }
        if (++queued == enough) {
            markReady(videoReady_);
        }
    }
    if (failedReading(*videoReader_)) {
        return;
    }
    frames_.close();
    markReady(videoReady_);
}

void PlaybackPipeline::writeSound() {
    // The sound waits, as the frames do, until reading ahead begins: a scrub
    // moves on before then.
    if (!waitFor(readingAhead_) || !soundReader_->startReading()) {
        if (auto error = soundReader_->error()) {
            fail(*error);
        }
        return;
    }
    std::stop_token stop = stop_.get_token();
    while (auto run = soundReader_->copyNextAudioSamples()) {
        // In slices well within the sink's buffer: a paused sink takes the
        // first one whole, so readiness never waits for playing to begin.
        std::span<const float> rest(run->samples);
        while (!rest.empty()) {
            std::size_t count = std::min(rest.size(), kSoundSlice * AudioSink::channelCount);
            if (!sink_.write(run_, rest.first(count), stop)) {
                return;
            }
            rest = rest.subspan(count);
            markReady(soundReady_);
        }
    }
    if (auto error = soundReader_->error()) {
        fail(*error);
        return;
    }
    markReady(soundReady_);
}

bool PlaybackPipeline::waitForPosition(std::int64_t frames) {
    std::stop_token stop = stop_.get_token();
    while (!stop.stop_requested()) {
        // The clock is read before the position: were it read after, a clock
        // that moved in between would put the deadline past the moment the
        // position reaches the frames.
        MonotonicClock::Duration now = clock_.now();
        std::int64_t position = sink_.position();
        if (position >= frames) {
            return true;
        }
        {
            std::unique_lock lock(mutex_);
            if (!playing_) {
                changed_.wait(lock, stop, [&] { return playing_; });
                continue;
            }
        }
        // Sleep until the position would reach the frames at the sample rate.
        auto wait = std::min(kLongestWait, ClockPosition::spanOf(frames - position));
        clock_.waitUntil(now + wait, stop);
    }
    return false;
}

void PlaybackPipeline::present() {
    const std::int64_t startSample = sampleAtOrAfter(start_);
    auto runPosition = [&](const MediaTime& time) {
        return std::max<std::int64_t>(sampleAtOrAfter(time) - startSample, 0);
    };
    if (videoReader_) {
        while (auto frame = frames_.pop()) {
            if (!waitForPosition(runPosition(frame->time))) {
                return;
            }
            if (sink_.position() >= runPosition(frame->time + frame->duration)) {
                continue;
            }
            if (stop_.stop_requested()) {
                return;
            }
            events_.frameDue(std::move(*frame));
        }
    }
    if (waitForPosition(runPosition(item_->duration())) && !stop_.stop_requested()) {
        events_.ended();
    }
}

} // namespace vexel::playback::detail
