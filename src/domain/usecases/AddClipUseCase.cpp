#include "domain/usecases/AddClipUseCase.h"

#include "domain/entities/EditError.h"
#include "foundation/UnicodeText.h"

#include <algorithm>

namespace vexel {

namespace {

struct ResolvedTarget {
    Project project;
    std::optional<Uuid> trackId;
};

std::size_t audioTrackCount(const Project& project) {
    return static_cast<std::size_t>(
        std::count_if(project.tracks.begin(), project.tracks.end(),
                      [](const Track& track) { return track.type == TrackType::audio; }));
}

std::optional<Uuid> firstTrackOfType(const Project& project, TrackType type) {
    for (const auto& track : project.tracks) {
        if (track.type == type) {
            return track.id;
        }
    }
    return std::nullopt;
}

// The target track, possibly a new audio track added to the working copy only.
ResolvedTarget resolveTargetTrack(Project project, TrackType trackType,
                                  const std::optional<std::string>& targetTrackName) {
    if (!targetTrackName) {
        auto id = firstTrackOfType(project, trackType);
        return {std::move(project), id};
    }
    if (const Track* named = project.findTrackByName(*targetTrackName)) {
        if (named->type != trackType) {
            throw EditError::trackTypeMismatch();
        }
        const Uuid id = named->id;
        return {std::move(project), id};
    }
    if (trackType != TrackType::audio) {
        auto id = firstTrackOfType(project, trackType);
        return {std::move(project), id};
    }
    if (audioTrackCount(project) >= AddClipUseCase::maxAudioTracks) {
        throw EditError::maxTracksReached();
    }
    Track track{Uuid::random(),
                TrackType::audio,
                AddClipUseCase::sanitizeTrackName(*targetTrackName),
                {},
                false};
    const Uuid id = track.id;
    project.tracks.push_back(std::move(track));
    return {std::move(project), id};
}

const Track* trackWithId(const Project& project, const std::optional<Uuid>& id) {
    if (!id) {
        return nullptr;
    }
    for (const auto& track : project.tracks) {
        if (track.id == *id) {
            return &track;
        }
    }
    return nullptr;
}

} // namespace

std::string AddClipUseCase::sanitizeTrackName(std::string_view name) {
    const std::string visible = unicode::removingControlAndFormatCharacters(name);
    return unicode::graphemePrefix(unicode::trimmingWhitespaceAndNewlines(visible),
                                   maxTrackNameLength);
}

std::optional<std::string>
AddClipUseCase::sanitizeDisplayName(const std::optional<std::string>& name) {
    if (!name) {
        return std::nullopt;
    }
    std::string cleaned = unicode::graphemePrefix(
        unicode::removingControlAndFormatCharacters(*name), maxDisplayNameLength);
    if (cleaned.empty()) {
        return std::nullopt;
    }
    return cleaned;
}

Project AddClipUseCase::execute(const std::filesystem::path& url, TrackType trackType,
                                std::optional<double> at,
                                const std::optional<std::string>& originalName,
                                const std::optional<std::string>& targetTrackName) const {
    const MediaAsset asset = mediaLoader_->loadAsset(url);
    ResolvedTarget resolved =
        resolveTargetTrack(projectRepository_->load(), trackType, targetTrackName);
    const Project& project = resolved.project;
    const Track* target = trackWithId(project, resolved.trackId);

    double start = 0;
    if (at) {
        start = *at;
    } else if (target != nullptr && !target->clips.empty()) {
        start = target->clips.front().timeRange.endTime();
        for (const auto& clip : target->clips) {
            start = std::max(start, clip.timeRange.endTime());
        }
    }

    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = sanitizeDisplayName(originalName).value_or(asset.name);
    clip.assetURL = asset.url;
    clip.trackType = trackType;
    clip.timeRange = TimeRange{start, asset.duration};

    if (!(start + asset.duration <= project.maxDuration)) {
        throw EditError::exceedsMaxDuration();
    }
    if (target != nullptr && target->hasOverlap(clip.timeRange)) {
        throw EditError::clipOverlap();
    }
    Project result = target != nullptr ? project.addingClip(clip, target->id)
                                       : project.addingClip(clip, trackType);
    projectRepository_->save(result);
    return result;
}

bool AddClipUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::AddClip>();
}

Project AddClipUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* add = command.getIf<EditCommand::AddClip>();
    if (add == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(std::filesystem::path(add->assetName), add->trackType, add->at, std::nullopt,
                   add->targetTrackName);
}

} // namespace vexel
