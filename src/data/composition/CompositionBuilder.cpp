#include "data/composition/CompositionBuilder.h"

#include "data/composition/CompositionBuilderError.h"
#include "foundation/CancellationError.h"
#include "platform/media/MediaError.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <stdexcept>
#include <thread>

namespace vexel {

namespace {

using media::MediaTime;
using media::MediaTimeRange;
using media::MediaType;

constexpr media::Size carrierSize{1920, 1080};
constexpr int carrierFramesPerSecond = 1;
// Overlays that end this little after the video need no carrier.
constexpr double carrierSlack = 0.01;

// Text clips carry no media, and still images are drawn as overlays, so
// neither ever gets a composition track.
bool placesMedia(TrackType type) {
    return type == TrackType::video || type == TrackType::audio;
}

MediaType mediaTypeOf(TrackType type) {
    return type == TrackType::audio ? MediaType::audio : MediaType::video;
}

// Runs work(i) for every i below `count`, on up to one thread per core.
template <typename Work> void forEachInParallel(std::size_t count, const Work& work) {
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
        }
        return;
    }
    std::atomic<std::size_t> next{0};
    std::vector<std::jthread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (std::size_t i = next++; i < count; i = next++) {
                work(i);
            }
        });
    }
}

// Where one clip's media goes in the composition, and which part of its
// source: `source` is laid down at `insertTime` and, when the clip plays at
// another speed, squeezed or stretched to `duration`.
struct Placement {
    MediaTime start;
    MediaTime duration;
    MediaTime insertTime;
    MediaTimeRange source;
    bool scaled = false;

    MediaTime insertEnd() const { return insertTime + duration; }
};

Placement placementOf(const Clip& clip, const MediaTime& dissolveOffset) {
    Placement placement;
    placement.start = MediaTime::fromSeconds(clip.timeRange.startTime);
    placement.duration = MediaTime::fromSeconds(clip.timeRange.duration);
    placement.insertTime = max(placement.start - dissolveOffset, MediaTime::zero());
    const MediaTime sourceOffset = MediaTime::fromSeconds(clip.sourceOffset);
    if (clip.rate == 1.0) {
        placement.source = {sourceOffset, placement.duration};
    } else {
        placement.source = {sourceOffset,
                            MediaTime::fromSeconds(clip.rate * placement.duration.seconds())};
        placement.scaled = true;
    }
    return placement;
}

// Throws MediaError when the media cannot be placed.
void insertMedia(media::CompositionTrack& track, const Placement& placement,
                 const std::shared_ptr<const media::Asset>& asset, int sourceTrackID) {
    track.insertTimeRange(placement.source, asset, sourceTrackID, placement.insertTime);
    if (placement.scaled) {
        track.scaleTimeRange({placement.insertTime, placement.source.duration}, placement.duration);
    }
}

std::optional<MediaTimeRange> fadeRangeInComposition(const Clip& clip,
                                                     const MediaTime& insertTime) {
    if (!clip.fadeRange) {
        return std::nullopt;
    }
    return MediaTimeRange{insertTime + MediaTime::fromSeconds(clip.fadeRange->startTime),
                          MediaTime::fromSeconds(clip.fadeRange->duration)};
}

std::vector<const Clip*> clipsByStart(const Track& track) {
    std::vector<const Clip*> clips;
    for (const Clip& clip : track.clips) {
        clips.push_back(&clip);
    }
    std::stable_sort(clips.begin(), clips.end(), [](const Clip* a, const Clip* b) {
        return a->timeRange.startTime < b->timeRange.startTime;
    });
    return clips;
}

// Places the sound of a video clip on a track of its own, exactly like its
// picture. A failure is logged and leaves the clip silent; the build goes on.
void placeEmbeddedAudio(media::MutableComposition& composition, const Clip& clip,
                        const Placement& placement,
                        const std::shared_ptr<const media::Asset>& asset, int audioTrackID,
                        Logger& logger,
                        std::vector<CompositionBuilder::AudioTrackEntry>& audioEntries) {
    const std::string clipId = clip.id.string();
    media::CompositionTrack* track = composition.addTrack(MediaType::audio);
    if (!track) {
        logger.error("[Builder] Failed to add audio composition track for embedded audio (clipId=" +
                     clipId + ")");
        return;
    }
    try {
        insertMedia(*track, placement, asset, audioTrackID);
    } catch (const media::MediaError&) {
        logger.error("[Builder] Failed to insert embedded audio (clipId=" + clipId +
                     "): " + CompositionBuilderError::cannotInsertTimeRange(clip.assetName).what());
        composition.removeTrack(track->trackID());
        return;
    }
    audioEntries.push_back({track->trackID(), static_cast<float>(clip.volume),
                            fadeRangeInComposition(clip, placement.insertTime)});
}

} // namespace

CompositionBuilder::CompositionBuilder(std::shared_ptr<Logger> logger,
                                       std::shared_ptr<AssetCache> assets,
                                       std::shared_ptr<CarrierCache> carriers)
    : logger_(logger ? std::move(logger) : std::make_shared<NullLogger>())
    , assets_(std::move(assets))
    , carriers_(std::move(carriers)) {}

double CompositionBuilder::visualContentDuration(const Project& project) {
    double latest = 0;
    for (const Track& track : project.tracks) {
        if (track.type == TrackType::text || track.type == TrackType::image) {
            for (const Clip& clip : track.clips) {
                latest = std::max(latest, clip.timeRange.startTime + clip.timeRange.duration);
            }
        }
    }
    return latest;
}

std::unordered_map<Uuid, CompositionBuilder::PreloadedAssetData>
CompositionBuilder::preloadAssets(const Project& project, std::stop_token stop) const {
    struct Request {
        const Clip* clip;
        MediaType mediaType;
        std::size_t file;
    };
    std::vector<Request> requests;
    std::vector<std::filesystem::path> files;
    std::map<std::filesystem::path, std::size_t> fileIndex;
    for (const Track& track : project.tracks) {
        if (!placesMedia(track.type)) {
            continue;
        }
        for (const Clip& clip : track.clips) {
            if (!clip.assetURL || clip.assetURL->empty()) {
                continue;
            }
            auto [found, added] = fileIndex.try_emplace(*clip.assetURL, files.size());
            if (added) {
                files.push_back(*clip.assetURL);
            }
            requests.push_back({&clip, mediaTypeOf(track.type), found->second});
        }
    }

    // Every file not probed before is probed once, all at the same time.
    std::vector<std::shared_ptr<const media::Asset>> probed(files.size());
    std::vector<std::size_t> unprobed;
    for (std::size_t i = 0; i < files.size(); ++i) {
        probed[i] = assets_->find(files[i]);
        if (!probed[i]) {
            unprobed.push_back(i);
        }
    }
    forEachInParallel(unprobed.size(), [&](std::size_t u) {
        if (stop.stop_requested()) {
            return;
        }
        try {
            probed[unprobed[u]] = assets_->load(files[unprobed[u]]);
        } catch (const std::exception&) {
            // Left out of the composition without a message.
        }
    });
    throwIfCancelled(stop);

    std::unordered_map<Uuid, PreloadedAssetData> preloaded;
    for (const Request& request : requests) {
        const auto& asset = probed[request.file];
        if (!asset) {
            continue;
        }
        auto sourceTrack = asset->firstTrack(request.mediaType);
        if (!sourceTrack) {
            continue;
        }
        PreloadedAssetData data{
            asset, *sourceTrack, media::Affine::identity(), {0, 0}, std::nullopt};
        if (request.mediaType == MediaType::video) {
            data.preferredTransform = sourceTrack->preferredTransform;
            data.naturalSize = sourceTrack->naturalSize;
            data.audioSourceTrack = asset->firstTrack(MediaType::audio);
        }
        preloaded.insert_or_assign(request.clip->id, std::move(data));
    }
    return preloaded;
}

CompositionBuilder::CompositionResult
CompositionBuilder::buildComposition(const Project& project, std::stop_token stop) const {
    throwIfCancelled(stop);
    const auto preloaded = preloadAssets(project, stop);

    CompositionResult result;
    result.composition = std::make_unique<media::MutableComposition>();
    media::MutableComposition& composition = *result.composition;

    for (const Track& track : project.tracks) {
        if (!placesMedia(track.type)) {
            continue;
        }
        const MediaType mediaType = mediaTypeOf(track.type);
        MediaTime dissolveOffset = MediaTime::zero();
        for (const Clip* clip : clipsByStart(track)) {
            throwIfCancelled(stop);
            auto found = preloaded.find(clip->id);
            if (found == preloaded.end()) {
                continue;
            }
            const PreloadedAssetData& data = found->second;
            Placement placement;
            try {
                placement = placementOf(*clip, dissolveOffset);
            } catch (const std::exception&) {
                // Times that are no times (not finite, out of range).
                throw CompositionBuilderError::cannotInsertTimeRange(clip->assetName);
            }
            // A clip shorter than the composition's time step shows nothing;
            // placing it would fail the whole build over an invisible clip.
            if (placement.duration == MediaTime::zero()) {
                continue;
            }

            media::CompositionTrack* compositionTrack = composition.addTrack(mediaType);
            if (!compositionTrack) {
                throw CompositionBuilderError::cannotAddTrack();
            }
            try {
                insertMedia(*compositionTrack, placement, data.asset, data.sourceTrack.trackID);
            } catch (const media::MediaError&) {
                throw CompositionBuilderError::cannotInsertTimeRange(clip->assetName);
            }

            if (mediaType == MediaType::audio) {
                result.audioEntries.push_back(
                    {compositionTrack->trackID(), static_cast<float>(clip->volume),
                     fadeRangeInComposition(*clip, placement.insertTime)});
            } else {
                result.videoEntries.push_back(VideoTrackEntry{
                    .trackID = compositionTrack->trackID(),
                    .transform = data.preferredTransform,
                    .naturalSize = data.naturalSize,
                    .clipStartTime = placement.start,
                    .clipEndTime = placement.start + placement.duration,
                    .opacity = static_cast<float>(clip->opacity),
                    .colorAdjust = clip->colorAdjust,
                    .clipTransform = clip->transform,
                    .transitionIn = clip->transitionIn,
                    .transitionOut = clip->transitionOut,
                    .filter = clip->filter,
                    .compositionStartTime = placement.insertTime,
                    .compositionEndTime = placement.insertEnd(),
                });
                if (data.audioSourceTrack) {
                    placeEmbeddedAudio(composition, *clip, placement, data.asset,
                                       data.audioSourceTrack->trackID, *logger_,
                                       result.audioEntries);
                }
            }

            if (clip->transitionOut &&
                clip->transitionOut->type.kind() == TransitionType::Kind::crossDissolve) {
                dissolveOffset += MediaTime::fromSeconds(clip->transitionOut->duration);
            }
        }
    }

    throwIfCancelled(stop);
    const double visual = visualContentDuration(project);
    const MediaTime compositionEnd = composition.duration();
    const double comp = compositionEnd.seconds();
    if (!result.videoEntries.empty()) {
        if (visual <= comp + carrierSlack) {
            result.contentDuration = MediaTime::fromSeconds(std::max(visual, comp));
        } else {
            result.videoEntries.push_back(
                addBlankCarrier(composition, visual - comp, compositionEnd, stop));
            result.contentDuration = MediaTime::fromSeconds(visual);
        }
    } else if (visual <= 0) {
        if (result.audioEntries.empty()) {
            throw CompositionBuilderError::noPlayableClips();
        }
        result.contentDuration = MediaTime::fromSeconds(comp);
    } else {
        const double length = std::max(visual, comp);
        result.videoEntries.push_back(
            addBlankCarrier(composition, length, MediaTime::zero(), stop));
        result.contentDuration = MediaTime::fromSeconds(length);
    }
    return result;
}

VideoTrackEntry CompositionBuilder::addBlankCarrier(media::MutableComposition& composition,
                                                    double duration, const MediaTime& insertAt,
                                                    std::stop_token stop) const {
    auto carrier = carriers_->carrier(carrierSize, duration, carrierFramesPerSecond, stop);
    auto videoTrack = carrier->firstTrack(MediaType::video);
    if (!videoTrack) {
        throw CompositionBuilderError::cannotInsertTimeRange("black video carrier");
    }
    media::CompositionTrack* track = composition.addTrack(MediaType::video);
    if (!track) {
        throw CompositionBuilderError::cannotAddTrack();
    }
    const MediaTime length = MediaTime::fromSeconds(duration);
    track->insertTimeRange({MediaTime::zero(), length}, carrier, videoTrack->trackID, insertAt);
    return VideoTrackEntry{
        .trackID = track->trackID(),
        .transform = media::Affine::identity(),
        .naturalSize = carrierSize,
        .clipStartTime = insertAt,
        .clipEndTime = insertAt + length,
        .opacity = 1,
        .colorAdjust = std::nullopt,
        .clipTransform = std::nullopt,
        .transitionIn = std::nullopt,
        .transitionOut = std::nullopt,
        .filter = std::nullopt,
        .compositionStartTime = insertAt,
        .compositionEndTime = insertAt + length,
    };
}

std::optional<media::AudioMix>
CompositionBuilder::buildAudioMix(const std::vector<AudioTrackEntry>& entries) {
    if (entries.empty()) {
        return std::nullopt;
    }
    media::AudioMix mix;
    for (const AudioTrackEntry& entry : entries) {
        media::AudioMixInputParameters parameters(entry.trackID);
        if (!entry.fadeRange) {
            parameters.setVolume(entry.volume, MediaTime::zero());
        } else {
            parameters.setVolume(1, MediaTime::zero());
            if (entry.fadeRange->isEmpty()) {
                // A fade of no length is a step to the clip's volume.
                parameters.setVolume(entry.volume, entry.fadeRange->start);
            } else {
                parameters.setVolumeRamp(1, entry.volume, *entry.fadeRange);
            }
        }
        mix.inputParameters.push_back(std::move(parameters));
    }
    return mix;
}

PreviewComposition CompositionBuilder::build(const Project& project, std::stop_token stop) const {
    CompositionResult result = buildComposition(project, stop);
    PreviewComposition preview{result.composition->copy(), std::nullopt,
                               buildAudioMix(result.audioEntries)};
    if (!result.videoEntries.empty()) {
        preview.videoCompositionInputs =
            VideoCompositionInputs{std::move(result.videoEntries), result.contentDuration, {}, {}};
    }
    return preview;
}

ExportComposition CompositionBuilder::buildForExport(const Project& project,
                                                     std::stop_token stop) const {
    CompositionResult result = buildComposition(project, stop);
    ExportComposition exported{result.composition->copy(), std::nullopt,
                               buildAudioMix(result.audioEntries)};
    if (!result.videoEntries.empty()) {
        exported.videoCompositionInputs =
            VideoCompositionInputs{std::move(result.videoEntries), result.contentDuration,
                                   project.textClips(), project.imageClips()};
    }
    return exported;
}

} // namespace vexel
