#include "platform/playback/detail/PlaybackPipeline.h"

#include "platform/playback/detail/ClockPosition.h"

#include <algorithm>
#include <chrono>

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
    if (!video || !(video->frameDuration > MediaTime::zero())) {
        return 2;
    }
    double perHalfSecond = 0.5 / video->frameDuration.seconds();
    return static_cast<std::size_t>(std::clamp(perHalfSecond, 2.0, 30.0));
}

// The longest the presenting thread sleeps before it looks at the position
// again, so that a sound device whose clock runs a little fast is followed.
constexpr MonotonicClock::Duration kLongestWait = std::chrono::milliseconds(20);

} // namespace

PlaybackPipeline::PlaybackPipeline(std::shared_ptr<const PlayerItem> item, const MediaTime& start,
                                   std::uint64_t run, AudioSink& sink, MonotonicClock& clock,
                                   Events events)
    : item_(std::move(item))
    , start_(start)
    , firstFrameTime_(start)
    , run_(run)
    , sink_(sink)
    , clock_(clock)
    , events_(std::move(events))
    , frames_(framesAhead(item_->videoComposition)) {
    const MediaTime duration = item_->duration();
    if (item_->videoComposition && item_->videoComposition->frameDuration > MediaTime::zero()) {
        // The frame showing at the start; at the very end, the last frame.
        const MediaTime& step = item_->videoComposition->frameDuration;
        std::int64_t n = std::max<std::int64_t>(stepsAtOrBefore(start_, step), 0);
        firstFrameTime_ = MediaTime(n * step.value(), step.timescale());
        if (n > 0 && firstFrameTime_ >= duration) {
            firstFrameTime_ = MediaTime((n - 1) * step.value(), step.timescale());
        }
    }
    media::CompositionReader::Options options;
    options.timeRange =
        media::MediaTimeRange{firstFrameTime_, max(duration - firstFrameTime_, MediaTime::zero())};
    reader_ = std::make_unique<media::CompositionReader>(item_->composition, options);
    if (item_->videoComposition) {
        reader_->addVideoOutput(*item_->videoComposition);
    }
    reader_->addAudioOutput(item_->audioMix);

    reading_ = std::thread([this] { read(); });
    sound_ = std::thread([this] { writeSound(); });
    presenting_ = std::thread([this] { present(); });
}

PlaybackPipeline::~PlaybackPipeline() {
    requestStop();
    for (std::thread* thread : {&reading_, &sound_, &presenting_}) {
        thread->join();
    }
}

void PlaybackPipeline::requestStop() {
    stop_.request_stop();
    reader_->cancelReading();
    frames_.abort();
}

void PlaybackPipeline::setPlaying(bool playing) {
    std::lock_guard lock(mutex_);
    playing_ = playing;
    changed_.notify_all();
}

void PlaybackPipeline::fail(const media::MediaError& error) {
    if (!failed_.exchange(true) && !stop_.stop_requested()) {
        events_.failed(error);
    }
    requestStop();
}

void PlaybackPipeline::read() {
    bool started = reader_->startReading();
    {
        std::lock_guard lock(mutex_);
        started_ = true;
        changed_.notify_all();
    }
    if (!started) {
        if (auto error = reader_->error()) {
            fail(*error);
        }
        return;
    }
    if (!item_->videoComposition) {
        return;
    }
    while (auto frame = reader_->copyNextVideoFrame()) {
        if (!frames_.push(std::move(*frame))) {
            return;
        }
    }
    if (auto error = reader_->error()) {
        fail(*error);
        return;
    }
    frames_.close();
}

void PlaybackPipeline::writeSound() {
    std::stop_token stop = stop_.get_token();
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait(lock, stop, [&] { return started_; })) {
            return;
        }
    }
    // Reading starts at a frame's time; the sound before the start is not heard.
    std::int64_t skip = sampleAtOrAfter(start_) - sampleAtOrAfter(firstFrameTime_);
    bool queued = false;
    while (auto run = reader_->copyNextAudioSamples()) {
        std::span<const float> samples(run->samples);
        auto dropped = static_cast<std::size_t>(
            std::min<std::int64_t>(skip, static_cast<std::int64_t>(run->frameCount())));
        skip -= static_cast<std::int64_t>(dropped);
        samples = samples.subspan(dropped * AudioSink::channelCount);
        if (samples.empty()) {
            continue;
        }
        if (!sink_.write(run_, samples, stop)) {
            return;
        }
        if (!queued) {
            queued = true;
            events_.soundQueued();
        }
    }
    if (auto error = reader_->error()) {
        fail(*error);
        return;
    }
    if (!queued && !stop.stop_requested()) {
        events_.soundQueued();
    }
}

bool PlaybackPipeline::waitForPosition(std::int64_t frames) {
    std::stop_token stop = stop_.get_token();
    while (!stop.stop_requested()) {
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
        clock_.waitUntil(clock_.now() + wait, stop);
    }
    return false;
}

void PlaybackPipeline::present() {
    const std::int64_t startSample = sampleAtOrAfter(start_);
    auto runPosition = [&](const MediaTime& time) {
        return std::max<std::int64_t>(sampleAtOrAfter(time) - startSample, 0);
    };
    if (item_->videoComposition) {
        bool first = true;
        while (auto frame = frames_.pop()) {
            if (!first) {
                if (!waitForPosition(runPosition(frame->time))) {
                    return;
                }
                if (sink_.position() >= runPosition(frame->time + frame->duration)) {
                    continue;
                }
            }
            first = false;
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
