#pragma once

#include "data/composition/AssetCache.h"
#include "data/composition/CarrierCache.h"
#include "data/composition/ExportComposition.h"
#include "data/composition/PreviewComposition.h"
#include "data/composition/VideoTrackEntry.h"
#include "domain/entities/Project.h"
#include "foundation/Logger.h"
#include "foundation/Uuid.h"
#include "platform/media/AudioMix.h"
#include "platform/media/MediaTimeRange.h"
#include "platform/media/MutableComposition.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <unordered_map>
#include <vector>

namespace vexel {

// Turns a project into a composition: every playable clip on a composition
// track of its own at its timeline place (earlier by the cross-dissolves
// before it on its track), at its speed, with the sound of video files on
// tracks of their own, and a black carrier under text and image clips that
// outlast the video or have none beneath them. Keeps nothing between builds
// but the shared probe and carrier caches; every build makes a new
// composition. Builds block and may run on any thread; each stops with
// CancellationError at its next step once `stop` is requested.
class CompositionBuilder {
public:
    // One input of the audio mix.
    struct AudioTrackEntry {
        std::int32_t trackID = 0;
        float volume = 1;
        // The clip's fade range moved into composition time.
        std::optional<media::MediaTimeRange> fadeRange;

        friend bool operator==(const AudioTrackEntry&, const AudioTrackEntry&) = default;
    };

    struct CompositionResult {
        std::unique_ptr<media::MutableComposition> composition;
        // In placement order (track order, then clip start); the carrier last.
        std::vector<VideoTrackEntry> videoEntries;
        // In placement order.
        std::vector<AudioTrackEntry> audioEntries;
        // The length the video composition must cover.
        media::MediaTime contentDuration{};
    };

    explicit CompositionBuilder(
        std::shared_ptr<Logger> logger,
        std::shared_ptr<AssetCache> assets = std::make_shared<AssetCache>(),
        std::shared_ptr<CarrierCache> carriers = std::make_shared<CarrierCache>());

    // The preview form: the finished composition with its audio mix and the
    // inputs of its video composition.
    PreviewComposition build(const Project& project, std::stop_token stop = {}) const;
    // The export form: the same, with the project's text and image clips for
    // the export video composition.
    ExportComposition buildForExport(const Project& project, std::stop_token stop = {}) const;

    // The core build both forms start from. Throws CompositionBuilderError,
    // the carrier's errors (BlackVideoGeneratorError, MediaError,
    // std::filesystem::filesystem_error) and CancellationError; nothing is
    // returned then. A clip whose file cannot be opened or has no track of
    // its kind is left out without a message; failures of a video clip's own
    // sound are logged and leave the clip silent.
    CompositionResult buildComposition(const Project& project, std::stop_token stop = {}) const;

    // The latest end, in seconds, of the project's text and image clips; 0
    // when there are none.
    static double visualContentDuration(const Project& project);

private:
    struct PreloadedAssetData {
        std::shared_ptr<const media::Asset> asset;
        media::AssetTrack sourceTrack;
        media::Affine preferredTransform;
        media::Size naturalSize;
        std::optional<media::AssetTrack> audioSourceTrack;
    };

    std::unordered_map<Uuid, PreloadedAssetData> preloadAssets(const Project& project,
                                                               std::stop_token stop) const;
    VideoTrackEntry addBlankCarrier(media::MutableComposition& composition, double duration,
                                    const media::MediaTime& insertAt, std::stop_token stop) const;
    static std::optional<media::AudioMix>
    buildAudioMix(const std::vector<AudioTrackEntry>& entries);

    std::shared_ptr<Logger> logger_;
    std::shared_ptr<AssetCache> assets_;
    std::shared_ptr<CarrierCache> carriers_;
};

} // namespace vexel
