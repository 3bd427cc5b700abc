#include "platform/media/CompositionReader.h"

#include "platform/media/AudioMixer.h"
#include "platform/media/detail/FrameComposing.h"
#include "platform/media/detail/GainCurve.h"
#include "platform/media/detail/LayerDrawing.h"
#include "platform/media/detail/StatusMachine.h"
#include "platform/media/detail/TrackFeeder.h"
#include "platform/media/detail/WorkerPool.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <set>
#include <thread>

namespace vexel::media {

namespace {

using Kind = MediaError::Kind;

// Decoded frames waiting per source track, ahead of composing.
constexpr std::size_t kDecodedAhead = 3;
// How long before its first frame is composed a run's decoder is opened:
// opening a file and filling a decoder's frame threads takes a while.
const MediaTime kPrimeAhead(2, 1);
constexpr std::size_t kAudioRun = 8192;

} // namespace

struct CompositionReader::Impl {
    Composition composition;
    Options options;
    std::optional<VideoComposition> videoComposition;
    bool hasAudio = false;
    std::optional<AudioMix> audioMix;

    detail::StatusMachine<Status> state;
    std::unique_ptr<detail::WorkerPool> pool;

    // Video.
    std::unique_ptr<VideoCompositor> compositor;
    std::optional<PixelBufferPool> outputPool;
    detail::FrameGrid grid;
    // Set once while starting; a cancel may come from another thread then.
    std::mutex feedersMutex;
    std::unique_ptr<detail::TrackFeeder::Progress> progress;
    std::vector<std::unique_ptr<detail::TrackFeeder>> feeders;
    std::thread dispatcher;
    std::size_t maxInFlight = 0;
    std::mutex resultsMutex;
    std::condition_variable resultsChanged;
    std::map<std::int64_t, PixelBuffer> results;
    std::size_t inFlight = 0;
    std::int64_t nextFrame = 0;
    bool videoEnded = false;

    // Audio.
    std::unique_ptr<AudioMixer> mixer;
    std::int64_t audioEnd = 0;
    std::int64_t audioPosition = 0;
    bool audioEnded = false;
    std::mutex endMutex;

    bool running() const { return state.isRunning(); }

    void fail(const MediaError& failure) {
        state.fail(failure);
        stop();
    }

    // Wakes and ends every thread's work.
    void stop() {
        {
            std::lock_guard lock(feedersMutex);
            if (progress) {
                progress->stop();
            }
            for (auto& feeder : feeders) {
                feeder->stop();
            }
        }
        std::lock_guard lock(resultsMutex);
        resultsChanged.notify_all();
    }

    void join() {
        stop();
        for (auto& feeder : feeders) {
            feeder->join();
        }
        if (dispatcher.joinable()) {
            dispatcher.join();
        }
        pool.reset();
    }

    // Completes the reader once every output has ended.
    void outputEnded(bool& flag) {
        std::lock_guard lock(endMutex);
        flag = true;
        bool videoDone = !videoComposition || videoEnded;
        bool audioDone = !hasAudio || audioEnded;
        if (videoDone && audioDone) {
            state.complete();
        }
    }

    template <typename Work> void guarded(Work work) {
        try {
            work();
        } catch (const MediaError& failure) {
            fail(failure);
        } catch (const std::exception& failure) {
            fail(MediaError(Kind::decodingFailed, failure.what()));
        }
    }

    void startVideo() {
        const VideoComposition& video = *videoComposition;
        if (!(video.frameDuration > MediaTime::zero())) {
            throw MediaError(Kind::invalidArgument, "The frame duration must be positive");
        }
        compositor = video.customCompositor ? video.customCompositor()
                                            : std::make_unique<LayerVideoCompositor>();
        if (!compositor) {
            throw MediaError(Kind::invalidArgument, "The compositor factory made no compositor");
        }
        MediaTime start = options.timeRange ? max(options.timeRange->start, MediaTime::zero())
                                            : MediaTime::zero();
        MediaTime end = composition.duration();
        if (options.timeRange) {
            end = min(end, options.timeRange->end());
        }
        grid.frameDuration = video.frameDuration;
        grid.first = detail::FrameGrid::indexAtOrAfter(start, video.frameDuration);
        grid.end =
            std::max(grid.first, detail::FrameGrid::indexAtOrAfter(end, video.frameDuration));
        nextFrame = grid.first;
        maxInFlight = pool->size() + 2;
        outputPool.emplace(video.renderWidth(), video.renderHeight(), maxInFlight + 2);

        std::set<int> required;
        for (const auto& instruction : video.instructions) {
            for (int id :
                 instruction ? instruction->requiredSourceTrackIDs() : std::vector<int>{}) {
                const CompositionTrack* track = composition.track(id);
                if (track && track->mediaType() == MediaType::video) {
                    required.insert(id);
                }
            }
        }
        std::int64_t primeAhead =
            detail::FrameGrid::indexAtOrAfter(kPrimeAhead, video.frameDuration);
        {
            std::lock_guard lock(feedersMutex);
            progress = std::make_unique<detail::TrackFeeder::Progress>(grid.first);
            for (int id : required) {
                feeders.push_back(std::make_unique<detail::TrackFeeder>(
                    *composition.track(id), grid, *progress, kDecodedAhead, primeAhead,
                    options.decoderThreads));
            }
            if (!running()) {
                // Cancelled meanwhile: the threads end at once.
                for (auto& feeder : feeders) {
                    feeder->stop();
                }
                progress->stop();
            }
        }
        auto guard = [this](const std::function<void()>& work) { guarded(work); };
        for (auto& feeder : feeders) {
            feeder->start(guard);
        }
        dispatcher = std::thread([this] { guarded([&] { dispatch(); }); });
    }

    void dispatch() {
        const VideoComposition& video = *videoComposition;
        for (std::int64_t n = grid.first; n < grid.end && running(); ++n) {
            progress->advance(n);
            std::map<int, PixelBuffer> decoded;
            for (auto& feeder : feeders) {
                if (!feeder->showsMediaAt(n)) {
                    continue;
                }
                std::optional<PixelBuffer> frame = feeder->next(n);
                if (!frame) {
                    return;
                }
                decoded[feeder->trackID()] = std::move(*frame);
            }
            {
                std::unique_lock lock(resultsMutex);
                resultsChanged.wait(lock, [&] { return inFlight < maxInFlight || !running(); });
                if (!running()) {
                    return;
                }
                ++inFlight;
            }
            MediaTime time = grid.time(n);
            auto instruction = video.instruction(time);
            std::map<int, PixelBuffer> sources;
            if (instruction) {
                for (int id : instruction->requiredSourceTrackIDs()) {
                    auto found = decoded.find(id);
                    if (found != decoded.end() && !found->second.isNull()) {
                        sources[id] = found->second;
                    }
                }
            }
            pool->submit([this, n, time, instruction, sources = std::move(sources)]() mutable {
                guarded([&] { compose(n, time, std::move(instruction), std::move(sources)); });
            });
        }
    }

    void compose(std::int64_t n, const MediaTime& time,
                 std::shared_ptr<const VideoCompositionInstruction> instruction,
                 std::map<int, PixelBuffer> sources) {
        if (!running()) {
            return;
        }
        PixelBuffer frame = detail::composeFrame(*compositor, std::move(instruction), time,
                                                 std::move(sources), *outputPool);
        std::lock_guard lock(resultsMutex);
        results[n] = std::move(frame);
        resultsChanged.notify_all();
    }

    std::optional<VideoFrame> nextVideoFrame() {
        std::unique_lock lock(resultsMutex);
        if (nextFrame >= grid.end) {
            lock.unlock();
            outputEnded(videoEnded);
            return std::nullopt;
        }
        resultsChanged.wait(lock, [&] { return results.count(nextFrame) > 0 || !running(); });
        if (!running()) {
            return std::nullopt;
        }
        PixelBuffer frame = std::move(results[nextFrame]);
        results.erase(nextFrame);
        --inFlight;
        resultsChanged.notify_all();
        std::int64_t n = nextFrame++;
        lock.unlock();
        return VideoFrame{std::move(frame), grid.time(n), videoComposition->frameDuration};
    }
};

CompositionReader::CompositionReader(Composition composition)
    : CompositionReader(std::move(composition), Options{}) {}

CompositionReader::CompositionReader(Composition composition, Options options)
    : impl_(std::make_unique<Impl>()) {
    impl_->composition = std::move(composition);
    impl_->options = options;
}

CompositionReader::~CompositionReader() {
    impl_->state.cancel();
    impl_->join();
}

void CompositionReader::addVideoOutput(VideoComposition videoComposition) {
    if (impl_->state.status() != Status::unknown || impl_->videoComposition) {
        throw MediaError(Kind::invalidState, "The video output must be added once, before reading");
    }
    impl_->videoComposition = std::move(videoComposition);
}

void CompositionReader::addAudioOutput(std::optional<AudioMix> audioMix) {
    if (impl_->state.status() != Status::unknown || impl_->hasAudio) {
        throw MediaError(Kind::invalidState, "The audio output must be added once, before reading");
    }
    impl_->hasAudio = true;
    impl_->audioMix = std::move(audioMix);
}

bool CompositionReader::startReading() {
    Impl& impl = *impl_;
    if (!impl.state.start()) {
        return false;
    }
    try {
        int threads = impl.options.threads > 0
                          ? impl.options.threads
                          : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        impl.pool = std::make_unique<detail::WorkerPool>(static_cast<std::size_t>(threads));
        if (impl.hasAudio) {
            MediaTime start =
                impl.options.timeRange ? impl.options.timeRange->start : MediaTime::zero();
            impl.mixer = std::make_unique<AudioMixer>(
                impl.composition, impl.audioMix, start,
                [pool = impl.pool.get()](std::size_t count, const auto& body) {
                    pool->parallelFor(count, body);
                });
            impl.audioPosition =
                detail::sampleIndexAtOrAfter(max(start, MediaTime::zero()), AudioMixer::sampleRate);
            impl.audioEnd = impl.audioPosition + impl.mixer->remainingFrames();
            if (impl.options.timeRange) {
                impl.audioEnd =
                    std::min(impl.audioEnd,
                             std::max(impl.audioPosition,
                                      detail::sampleIndexAtOrAfter(impl.options.timeRange->end(),
                                                                   AudioMixer::sampleRate)));
            }
        }
        if (impl.videoComposition) {
            impl.startVideo();
        }
    } catch (const MediaError& failure) {
        impl.fail(failure);
        return false;
    }
    // Reading has started. What its threads meet from now on, even before
    // this returns, is reported by the copy operations and the status:
    // answering with the status here would make the answer a race.
    return true;
}

std::optional<VideoFrame> CompositionReader::copyNextVideoFrame() {
    if (!impl_->videoComposition || !impl_->running()) {
        return std::nullopt;
    }
    return impl_->nextVideoFrame();
}

std::optional<FloatAudioSamples> CompositionReader::copyNextAudioSamples() {
    Impl& impl = *impl_;
    if (!impl.hasAudio || !impl.running()) {
        return std::nullopt;
    }
    std::optional<FloatAudioSamples> run;
    impl.guarded([&] {
        std::int64_t left = impl.audioEnd - impl.audioPosition;
        if (left > 0) {
            run =
                impl.mixer->next(static_cast<std::size_t>(std::min<std::int64_t>(left, kAudioRun)));
        }
    });
    if (!impl.running()) {
        return std::nullopt;
    }
    if (!run) {
        impl.outputEnded(impl.audioEnded);
        return std::nullopt;
    }
    impl.audioPosition += static_cast<std::int64_t>(run->frameCount());
    return run;
}

void CompositionReader::cancelReading() {
    if (impl_->state.cancel()) {
        impl_->stop();
    }
}

CompositionReader::Status CompositionReader::status() const {
    return impl_->state.status();
}

std::optional<MediaError> CompositionReader::error() const {
    return impl_->state.error();
}

} // namespace vexel::media
