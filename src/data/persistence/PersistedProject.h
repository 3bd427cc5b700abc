#pragma once

#include "data/persistence/PersistedTrack.h"
#include "domain/entities/Project.h"
#include "foundation/Json.h"

#include <filesystem>
#include <vector>

namespace vexel {

// A project as stored: its tracks as PersistedTrack records and its maximum
// duration.
struct PersistedProject {
    std::vector<PersistedTrack> tracks;
    double maxDuration = Project::defaultMaxDuration;

    // Media paths by the relative rule against the project folder `baseURL`.
    static PersistedProject from(const Project& project, const assetpaths::ProjectFolder& baseURL);
    // Media paths by the absolute rule.
    static PersistedProject forAutoSave(const Project& project);

    // The project, each of whose tracks and clips has an id of its own: an id
    // found again after its first track or clip (in track order, each track
    // before its clips) is replaced by a new one.
    Project toProject(const assetpaths::ProjectFolder& baseURL) const;
    Project toProjectFromAutoSave() const;

    friend bool operator==(const PersistedProject&, const PersistedProject&) = default;
};

// The project's own encoded form: {"tracks", "maxDuration"}.
void to_json(Json& json, const PersistedProject& project);
void from_json(const Json& json, PersistedProject& project);

} // namespace vexel
