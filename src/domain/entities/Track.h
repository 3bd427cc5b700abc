#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/TimeRange.h"
#include "domain/entities/TrackType.h"
#include "foundation/Json.h"
#include "foundation/Uuid.h"

#include <optional>
#include <string>
#include <vector>

namespace vexel {

// A named lane of clips of one kind. Clips stay in stored order (not time order);
// every operation returns a changed copy and touches only `clips`.
struct Track {
    Uuid id;
    TrackType type = TrackType::video;
    // Display name, also how instructions address the track.
    std::string name;
    std::vector<Clip> clips;
    // The default audio tracks stay even when they hold no clip.
    bool isDefault = false;

    Track addingClip(const Clip& clip) const;
    // Every clip with the given clip's id replaced by it, in place.
    Track replacingClip(const Clip& clip) const;
    Track removingClip(const Uuid& clipId) const;
    // Every clip with `originalId` replaced, in place, by `first` then `second`.
    Track replacingClipWithSplit(const Uuid& originalId, const Clip& first,
                                 const Clip& second) const;

    // Whether a clip other than `excluding` overlaps the range; ranges that only
    // touch do not overlap, ranges that start at the same time always do.
    bool hasOverlap(const TimeRange& range, const std::optional<Uuid>& excluding = {}) const;

    // The clip that follows the given one in time order (stable by start time);
    // absent when the id is unknown or the clip is the last.
    std::optional<Clip> nextClip(const Uuid& clipId) const;

    friend bool operator==(const Track&, const Track&) = default;
};

// {"id", "type", "name", "clips", "isDefault"}; a missing "isDefault" reads as false.
void to_json(Json& json, const Track& track);
void from_json(const Json& json, Track& track);

} // namespace vexel
