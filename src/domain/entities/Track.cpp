#include "domain/entities/Track.h"

#include "domain/entities/EncodedMember.h"
#include "foundation/JsonReader.h"

#include <algorithm>

namespace vexel {

Track Track::addingClip(const Clip& clip) const {
    Track result = *this;
    result.clips.push_back(clip);
    return result;
}

Track Track::replacingClip(const Clip& clip) const {
    Track result = *this;
    for (Clip& existing : result.clips) {
        if (existing.id == clip.id) {
            existing = clip;
        }
    }
    return result;
}

Track Track::removingClip(const Uuid& clipId) const {
    Track result{id, type, name, {}, isDefault};
    result.clips.reserve(clips.size());
    for (const Clip& clip : clips) {
        if (clip.id != clipId) {
            result.clips.push_back(clip);
        }
    }
    return result;
}

Track Track::replacingClipWithSplit(const Uuid& originalId, const Clip& first,
                                    const Clip& second) const {
    Track result{id, type, name, {}, isDefault};
    result.clips.reserve(clips.size() + 1);
    for (const Clip& clip : clips) {
        if (clip.id == originalId) {
            result.clips.push_back(first);
            result.clips.push_back(second);
        } else {
            result.clips.push_back(clip);
        }
    }
    return result;
}

bool Track::hasOverlap(const TimeRange& range, const std::optional<Uuid>& excluding) const {
    for (const Clip& clip : clips) {
        if (excluding && clip.id == *excluding) {
            continue;
        }
        const TimeRange& other = clip.timeRange;
        // Two clips that start together overlap whatever their lengths: a
        // duration too small to move an end past its start would otherwise let
        // one hide inside the other.
        if (other.startTime == range.startTime ||
            (other.startTime + other.duration > range.startTime &&
             other.startTime < range.startTime + range.duration)) {
            return true;
        }
    }
    return false;
}

std::optional<Clip> Track::nextClip(const Uuid& clipId) const {
    // Sort positions, not clips: only the answer is copied.
    std::vector<const Clip*> byStart;
    byStart.reserve(clips.size());
    for (const Clip& clip : clips) {
        byStart.push_back(&clip);
    }
    std::stable_sort(byStart.begin(), byStart.end(), [](const Clip* a, const Clip* b) {
        return a->timeRange.startTime < b->timeRange.startTime;
    });
    auto found = std::find_if(byStart.begin(), byStart.end(),
                              [&](const Clip* clip) { return clip->id == clipId; });
    if (found == byStart.end() || std::next(found) == byStart.end()) {
        return std::nullopt;
    }
    return **std::next(found);
}

void to_json(Json& json, const Track& track) {
    json = Json::object();
    json["id"] = track.id.string();
    json["type"] = track.type;
    json["name"] = track.name;
    Json clips = Json::array();
    for (const Clip& clip : track.clips) {
        clips.push_back(clip);
    }
    json["clips"] = std::move(clips);
    json["isDefault"] = track.isDefault;
}

void from_json(const Json& json, Track& track) {
    json::expectObject(json);
    track.id = json::readUuid(json, "id");
    track.type = json::decodeMember<TrackType>(json, "type", "String");
    track.name = json::readString(json, "name");
    const Json& clips = json::readArray(json, "clips");
    track.clips.clear();
    track.clips.reserve(clips.size());
    for (const Json& clip : clips) {
        track.clips.push_back(clip.get<Clip>());
    }
    track.isDefault = json::readOptionalBool(json, "isDefault").value_or(false);
}

} // namespace vexel
