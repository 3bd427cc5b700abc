#include "domain/usecases/AddClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"
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

MediaAsset AddClipUseCase::loadAsset(const std::filesystem::path& url) const {
    return mediaLoader_->loadAsset(url);
}

std::filesystem::path AddClipUseCase::fileOf(const std::string& assetName) {
    const std::filesystem::path path(assetName);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    // Without a working folder to resolve against, the loader reports the file.
    return error ? path : absolute;
}

Project AddClipUseCase::applyTo(Project project, const MediaAsset& asset, TrackType trackType,
                                std::optional<double> at,
                                const std::optional<std::string>& originalName,
                                const std::optional<std::string>& targetTrackName) const {
    ResolvedTarget resolved = resolveTargetTrack(std::move(project), trackType, targetTrackName);
    const Track* target = trackWithId(resolved.project, resolved.trackId);

    const double start = at.value_or(endOfTrack(target));

    Clip clip;
    clip.id = Uuid::random();
    // A Linux file name may be any bytes; a clip's name is shown, stored and
    // sent to the assistant, so it must be text.
    clip.assetName =
        sanitizeDisplayName(originalName).value_or(unicode::replacingInvalidUtf8(asset.name));
    clip.assetURL = asset.url;
    clip.trackType = trackType;
    clip.timeRange = TimeRange{start, asset.duration};

    if (!endsWithinProject(resolved.project, start, asset.duration)) {
        throw EditError::exceedsMaxDuration();
    }
    if (target != nullptr && target->hasOverlap(clip.timeRange)) {
        throw EditError::clipOverlap();
    }
    if (target != nullptr) {
        const Uuid targetId = target->id;
        return std::move(resolved.project).addingClip(std::move(clip), targetId);
    }
    return std::move(resolved.project).addingClip(std::move(clip), trackType);
}

Project AddClipUseCase::applyCase(const EditCommand::AddClip& add, Project project) const {
    const MediaAsset asset = loadAsset(fileOf(add.assetName));
    return applyTo(std::move(project), asset, add.trackType, add.at, std::nullopt,
                   add.targetTrackName);
}

} // namespace vexel
