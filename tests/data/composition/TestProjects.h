#pragma once

#include "domain/entities/Project.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Projects for composition tests and benchmarks, built clip by clip.
namespace vexel::testing {

// A clip of `type` on [start, start + duration) s of the timeline showing
// `file`, named after it; without one, a text clip's text "Hello".
inline Clip clipOf(TrackType type, double start, double duration,
                   std::optional<std::filesystem::path> file = std::nullopt) {
    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = file ? file->filename().string() : "Hello";
    clip.assetURL = std::move(file);
    clip.trackType = type;
    clip.timeRange = {start, duration};
    return clip;
}

inline Track trackOf(TrackType type, std::vector<Clip> clips) {
    return Track{Uuid::random(), type, std::string(baseWord(type)), std::move(clips), false};
}

// The tracks with the longest project duration.
inline Project projectOf(std::vector<Track> tracks) {
    return Project{std::move(tracks), 3600};
}

} // namespace vexel::testing
