#include "platform/media/CompositionFrameSeeker.h"

#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MediaError.h"
#include "platform/media/detail/FrameComposing.h"
#include "platform/media/detail/FrameGrid.h"
#include "platform/media/detail/SeekDecoder.h"
#include "platform/media/detail/SourceRun.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace vexel::media {

namespace {

using Kind = MediaError::Kind;

// Released composed frames kept for reuse: the one on screen and the next.
constexpr std::size_t kIdleFrames = 2;
// What a frame of a source without an open decoder is taken to cost: opening
// it and about a group of pictures from its key frame. Telling more would
// mean opening it, which could close one in use.
constexpr std::int64_t kUnopenedCost = 60;

} // namespace

struct CompositionFrameSeeker::Impl {
    Composition composition;
    VideoComposition video;
    Options options;
    std::unique_ptr<VideoCompositor> compositor;
    std::optional<PixelBufferPool> outputPool;
    std::atomic<bool> cancelled{false};

    struct Source {
        // One decoder per composition track and file track: two clips of one
        // file, on two tracks, each keep their own place.
        int compositionTrackID = 0;
        std::filesystem::path path;
        int sourceTrackID = 0;
        std::unique_ptr<detail::SeekDecoder> decoder;
        std::uint64_t lastUse = 0;
    };
    // Guarded for a cancel from another thread.
    mutable std::mutex sourcesMutex;
    std::vector<Source> sources;
    std::uint64_t uses = 0;
    std::int64_t closedFramesDecoded = 0;
    std::int64_t closedKeyFrameSeeks = 0;

    struct Needed {
        int trackID = 0;
        detail::ShownMedia shown;
    };

    MediaTime time(std::int64_t n) const { return detail::FrameGrid{video.frameDuration}.time(n); }

    // The sources the frame at `time` composes, as the instruction asks.
    std::vector<Needed>
    needed(const MediaTime& at,
           const std::shared_ptr<const VideoCompositionInstruction>& instruction) {
        std::vector<Needed> result;
        if (!instruction) {
            return result;
        }
        for (int id : instruction->requiredSourceTrackIDs()) {
            const CompositionTrack* track = composition.track(id);
            if (!track || track->mediaType() != MediaType::video) {
                continue;
            }
            if (std::optional<detail::ShownMedia> shown = detail::mediaShownAt(*track, at)) {
                result.push_back({id, *shown});
            }
        }
        return result;
    }

    // The source's entry; null when there is none. With sourcesMutex held.
    Source* kept(const Needed& need) {
        const std::filesystem::path& path = need.shown.segment->asset->path;
        const int sourceTrackID = need.shown.sourceTrack->trackID;
        for (Source& source : sources) {
            if (source.compositionTrackID == need.trackID && source.path == path &&
                source.sourceTrackID == sourceTrackID) {
                return &source;
            }
        }
        return nullptr;
    }

    // The decoder kept for the source, its use unchanged: looking at costs
    // must not decide which decoder closes next. Null when there is none.
    detail::SeekDecoder* openDecoder(const Needed& need) {
        std::lock_guard lock(sourcesMutex);
        Source* source = kept(need);
        return source ? source->decoder.get() : nullptr;
    }

    // The source's decoder, now the most recently used.
    detail::SeekDecoder& decoderFor(const Needed& need) {
        // Destroyed after the lock is let go: it joins the decoder's threads,
        // and a cancel waits for the lock meanwhile.
        std::unique_ptr<detail::SeekDecoder> closing;
        std::lock_guard lock(sourcesMutex);
        ++uses;
        if (Source* source = kept(need)) {
            source->lastUse = uses;
            return *source->decoder;
        }
        if (sources.size() >= std::max<std::size_t>(options.maxOpenDecoders, 1)) {
            auto oldest = std::min_element(sources.begin(), sources.end(),
                                           [](auto& a, auto& b) { return a.lastUse < b.lastUse; });
            closedFramesDecoded += oldest->decoder->framesDecoded();
            closedKeyFrameSeeks += oldest->decoder->keyFrameSeeks();
            closing = std::move(oldest->decoder);
            sources.erase(oldest);
        }
        const std::filesystem::path& path = need.shown.segment->asset->path;
        const int sourceTrackID = need.shown.sourceTrack->trackID;
        auto decoder = std::make_unique<detail::SeekDecoder>(*need.shown.segment->asset,
                                                             *need.shown.sourceTrack,
                                                             options.decoderThreads.value_or(0));
        if (cancelled.load()) {
            decoder->cancel();
        }
        sources.push_back({need.trackID, path, sourceTrackID, std::move(decoder), uses});
        return *sources.back().decoder;
    }
};

CompositionFrameSeeker::CompositionFrameSeeker(Composition composition,
                                               VideoComposition videoComposition)
    : CompositionFrameSeeker(std::move(composition), std::move(videoComposition), Options{}) {}

CompositionFrameSeeker::CompositionFrameSeeker(Composition composition,
                                               VideoComposition videoComposition, Options options)
    : impl_(std::make_unique<Impl>()) {
    Impl& impl = *impl_;
    impl.composition = std::move(composition);
    impl.video = std::move(videoComposition);
    impl.options = options;
    if (!(impl.video.frameDuration > MediaTime::zero())) {
        throw MediaError(Kind::invalidArgument, "The frame duration must be positive");
    }
    if (options.decoderThreads &&
        !(1 <= *options.decoderThreads && *options.decoderThreads <= 64)) {
        throw MediaError(Kind::invalidArgument, "Decoder threads out of range");
    }
    impl.compositor = impl.video.customCompositor ? impl.video.customCompositor()
                                                  : std::make_unique<LayerVideoCompositor>();
    if (!impl.compositor) {
        throw MediaError(Kind::invalidArgument, "The compositor factory made no compositor");
    }
    impl.outputPool.emplace(impl.video.renderWidth(), impl.video.renderHeight(), kIdleFrames);
}

CompositionFrameSeeker::~CompositionFrameSeeker() = default;

std::optional<VideoFrame> CompositionFrameSeeker::frameAt(std::int64_t n, const Abandon& abandon) {
    Impl& impl = *impl_;
    const MediaTime time = impl.time(n);
    std::shared_ptr<const VideoCompositionInstruction> instruction = impl.video.instruction(time);
    std::map<int, PixelBuffer> sources;
    for (const Impl::Needed& need : impl.needed(time, instruction)) {
        std::optional<PixelBuffer> frame =
            impl.decoderFor(need).frameAt(need.shown.sourceTime, abandon);
        if (!frame) {
            return std::nullopt;
        }
        if (!frame->isNull()) {
            sources[need.trackID] = std::move(*frame);
        }
    }
    if (impl.cancelled.load()) {
        return std::nullopt;
    }
    PixelBuffer composed = detail::composeFrame(*impl.compositor, std::move(instruction), time,
                                                std::move(sources), *impl.outputPool);
    return VideoFrame{std::move(composed), time, impl.video.frameDuration};
}

std::int64_t CompositionFrameSeeker::decodingCost(std::int64_t n) {
    Impl& impl = *impl_;
    const MediaTime time = impl.time(n);
    std::int64_t cost = 0;
    for (const Impl::Needed& need : impl.needed(time, impl.video.instruction(time))) {
        detail::SeekDecoder* decoder = impl.openDecoder(need);
        std::optional<std::int64_t> known =
            decoder ? decoder->costTo(need.shown.sourceTime) : std::nullopt;
        cost += known.value_or(kUnopenedCost);
    }
    return cost;
}

std::int64_t CompositionFrameSeeker::framesDecoded() const {
    std::lock_guard lock(impl_->sourcesMutex);
    std::int64_t count = impl_->closedFramesDecoded;
    for (const auto& source : impl_->sources) {
        count += source.decoder->framesDecoded();
    }
    return count;
}

std::int64_t CompositionFrameSeeker::keyFrameSeeks() const {
    std::lock_guard lock(impl_->sourcesMutex);
    std::int64_t count = impl_->closedKeyFrameSeeks;
    for (const auto& source : impl_->sources) {
        count += source.decoder->keyFrameSeeks();
    }
    return count;
}

void CompositionFrameSeeker::closeDecoders() {
    // Destroyed unlocked, as decoderFor closes one.
    std::vector<Impl::Source> closing;
    std::lock_guard lock(impl_->sourcesMutex);
    for (const auto& source : impl_->sources) {
        impl_->closedFramesDecoded += source.decoder->framesDecoded();
        impl_->closedKeyFrameSeeks += source.decoder->keyFrameSeeks();
    }
    closing.swap(impl_->sources);
}

void CompositionFrameSeeker::cancel() {
    impl_->cancelled.store(true);
    std::lock_guard lock(impl_->sourcesMutex);
    for (auto& source : impl_->sources) {
        source.decoder->cancel();
    }
}

} // namespace vexel::media
