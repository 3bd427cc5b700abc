#pragma once

#include "data/persistence/AssetPaths.h"
#include "domain/entities/Clip.h"
#include "foundation/Json.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vexel {

// A clip as stored: every field of the clip, with its media file written as
// a path string instead (relative to the project folder, or absolute in the
// auto-save; see AssetPaths.h).
struct PersistedClip {
    // Every field but the media file; `clip.assetURL` is always absent here.
    Clip clip;
    // Absent when the clip has no media file.
    std::optional<std::string> assetPath;

    // The relative rule against the project folder `baseURL`.
    static PersistedClip from(const Clip& clip, const assetpaths::ProjectFolder& baseURL);
    // The absolute rule.
    static PersistedClip forAutoSave(const Clip& clip);

    // A path that resolves outside `baseURL` gives a clip without media.
    Clip toClip(const assetpaths::ProjectFolder& baseURL) const;
    Clip toClipFromAutoSave() const;

    friend bool operator==(const PersistedClip&, const PersistedClip&) = default;
};

// The clip's own encoded form, its media file under "assetPath".
void to_json(Json& json, const PersistedClip& clip);
void from_json(const Json& json, PersistedClip& clip);

} // namespace vexel
