#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Project.h"
#include "domain/entities/Track.h"

#include <string>
#include <vector>

namespace vexel::testing {

inline Clip makeClip(double start, double duration, TrackType type = TrackType::video,
                     std::string name = "clip.mov") {
    return Clip{.id = Uuid::random(),
                .assetName = std::move(name),
                .trackType = type,
                .timeRange = {start, duration}};
}

inline Track makeTrack(TrackType type, std::string name, std::vector<Clip> clips = {},
                       bool isDefault = false) {
    return Track{Uuid::random(), type, std::move(name), std::move(clips), isDefault};
}

inline std::vector<std::string> trackNames(const Project& project) {
    std::vector<std::string> names;
    for (const Track& track : project.tracks) {
        names.push_back(track.name);
    }
    return names;
}

inline std::vector<Uuid> clipIds(const Track& track) {
    std::vector<Uuid> ids;
    for (const Clip& clip : track.clips) {
        ids.push_back(clip.id);
    }
    return ids;
}

} // namespace vexel::testing
