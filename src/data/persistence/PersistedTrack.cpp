#include "data/persistence/PersistedTrack.h"

#include "data/persistence/Mapped.h"

namespace vexel {

PersistedTrack PersistedTrack::from(const Track& track, const assetpaths::ProjectFolder& baseURL) {
    return {
        track.id, track.type, track.name,
        mapped(track.clips, [&](const Clip& clip) { return PersistedClip::from(clip, baseURL); }),
        track.isDefault};
}

PersistedTrack PersistedTrack::forAutoSave(const Track& track) {
    return {track.id, track.type, track.name, mapped(track.clips, &PersistedClip::forAutoSave),
            track.isDefault};
}

Track PersistedTrack::toTrack(const assetpaths::ProjectFolder& baseURL) const {
    return {id, type, name,
            mapped(clips, [&](const PersistedClip& clip) { return clip.toClip(baseURL); }),
            isDefault};
}

Track PersistedTrack::toTrackFromAutoSave() const {
    return {id, type, name, mapped(clips, &PersistedClip::toClipFromAutoSave), isDefault};
}

void to_json(Json& json, const PersistedTrack& track) {
    // The track's own form, with the stored clips in place of its (empty) list.
    to_json(json, Track{track.id, track.type, track.name, {}, track.isDefault});
    Json clips = Json::array();
    for (const PersistedClip& clip : track.clips) {
        clips.push_back(clip);
    }
    json["clips"] = std::move(clips);
}

void from_json(const Json& json, PersistedTrack& track) {
    // See PersistedClip's from_json: the stored paths pass through unchanged.
    track = PersistedTrack::forAutoSave(json.get<Track>());
}

} // namespace vexel
