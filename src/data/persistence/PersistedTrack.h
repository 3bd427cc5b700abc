#pragma once

#include "data/persistence/PersistedClip.h"
#include "domain/entities/Track.h"
#include "domain/entities/TrackType.h"
#include "foundation/Json.h"
#include "foundation/Uuid.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vexel {

// A track as stored: its fields, with its clips as PersistedClip records.
struct PersistedTrack {
    Uuid id;
    TrackType type = TrackType::video;
    std::string name;
    std::vector<PersistedClip> clips;
    bool isDefault = false;

    static PersistedTrack from(const Track& track, const assetpaths::ProjectFolder& baseURL);
    static PersistedTrack forAutoSave(const Track& track);
    Track toTrack(const assetpaths::ProjectFolder& baseURL) const;
    Track toTrackFromAutoSave() const;

    friend bool operator==(const PersistedTrack&, const PersistedTrack&) = default;
};

// The track's own encoded form ("isDefault" may be missing: false).
void to_json(Json& json, const PersistedTrack& track);
void from_json(const Json& json, PersistedTrack& track);

} // namespace vexel
