#include "domain/usecases/AddTrackUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/AddClipUseCase.h"

#include <algorithm>

namespace vexel {

Project AddTrackUseCase::applyTo(Project project, const std::optional<std::string>& name,
                                 TrackType trackType) const {
    if (trackType != TrackType::audio) {
        throw EditError::audioTrackOnly();
    }
    const auto audioTracks =
        std::count_if(project.tracks.begin(), project.tracks.end(),
                      [](const Track& track) { return track.type == TrackType::audio; });
    if (static_cast<std::size_t>(audioTracks) >= AddClipUseCase::maxAudioTracks) {
        throw EditError::maxTracksReached();
    }
    std::string trackName = name ? AddClipUseCase::sanitizeTrackName(*name) : std::string();
    if (trackName.empty()) {
        trackName = project.nextTrackName(TrackType::audio);
    }
    project.tracks.push_back(
        Track{Uuid::random(), TrackType::audio, std::move(trackName), {}, false});
    return project;
}

Project AddTrackUseCase::applyCase(const EditCommand::AddTrack& add, Project project) const {
    return applyTo(std::move(project), add.name, add.trackType);
}

} // namespace vexel
