#include "data/persistence/PersistedProject.h"

#include "data/persistence/Mapped.h"

namespace vexel {

PersistedProject PersistedProject::from(const Project& project,
                                        const assetpaths::ProjectFolder& baseURL) {
    return {mapped(project.tracks,
                   [&](const Track& track) { return PersistedTrack::from(track, baseURL); }),
            project.maxDuration};
}

PersistedProject PersistedProject::forAutoSave(const Project& project) {
    return {mapped(project.tracks, &PersistedTrack::forAutoSave), project.maxDuration};
}

Project PersistedProject::toProject(const assetpaths::ProjectFolder& baseURL) const {
    return {mapped(tracks, [&](const PersistedTrack& track) { return track.toTrack(baseURL); }),
            maxDuration};
}

Project PersistedProject::toProjectFromAutoSave() const {
    return {mapped(tracks, &PersistedTrack::toTrackFromAutoSave), maxDuration};
}

void to_json(Json& json, const PersistedProject& project) {
    // The project's own form, with the stored tracks in place of its (empty) list.
    to_json(json, Project{{}, project.maxDuration});
    Json tracks = Json::array();
    for (const PersistedTrack& track : project.tracks) {
        tracks.push_back(track);
    }
    json["tracks"] = std::move(tracks);
}

void from_json(const Json& json, PersistedProject& project) {
    // See PersistedClip's from_json: the stored paths pass through unchanged.
    project = PersistedProject::forAutoSave(json.get<Project>());
}

} // namespace vexel
