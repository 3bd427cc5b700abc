#include "data/persistence/PersistedProject.h"

#include "data/persistence/Mapped.h"

#include <unordered_set>

namespace vexel {

namespace {

// A file written by the editor never holds an id twice, but one put together
// by hand or by another program may; an edit by id would then reach every
// clip or track of that id. The first of them keeps it, the others are given
// new ones: nothing of the file is lost, and every id names one thing.
Project withUniqueIds(Project project) {
    std::unordered_set<Uuid> seen;
    const auto claim = [&seen](Uuid& id) {
        while (!seen.insert(id).second) {
            id = Uuid::random();
        }
    };
    for (Track& track : project.tracks) {
        claim(track.id);
        for (Clip& clip : track.clips) {
            claim(clip.id);
        }
    }
    return project;
}

} // namespace

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
    return withUniqueIds(
        {mapped(tracks, [&](const PersistedTrack& track) { return track.toTrack(baseURL); }),
         maxDuration});
}

Project PersistedProject::toProjectFromAutoSave() const {
    return withUniqueIds({mapped(tracks, &PersistedTrack::toTrackFromAutoSave), maxDuration});
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
