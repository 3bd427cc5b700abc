#include "domain/entities/Project.h"

#include "foundation/JsonReader.h"
#include "foundation/UnicodeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>

namespace vexel {

namespace {

constexpr std::array<std::string_view, 3> defaultAudioTrackNames = {"Audio 1", "Audio 2",
                                                                    "Audio 3"};

Track makeDefaultAudioTrack(std::string_view name) {
    return Track{Uuid::random(), TrackType::audio, std::string(name), {}, true};
}

// An optional sign and one or more ASCII digits, nothing else; nullopt on overflow.
std::optional<std::int64_t> parseSignedDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    // Parse the magnitude unsigned so that the most negative value fits.
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    constexpr auto maxValue = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (magnitude > maxValue + 1) {
            return std::nullopt;
        }
        return magnitude == maxValue + 1 ? std::numeric_limits<std::int64_t>::min()
                                         : -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude > maxValue) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(magnitude);
}

// The decimal form of n + 1, which for the largest 64-bit number does not fit in one.
std::string successorText(std::int64_t n) {
    if (n == std::numeric_limits<std::int64_t>::max()) {
        return "9223372036854775808";
    }
    return std::to_string(n + 1);
}

int laneOrder(TrackType type) {
    switch (type) {
    case TrackType::video:
        return 0;
    case TrackType::image:
        return 1;
    case TrackType::text:
        return 2;
    case TrackType::audio:
        return 3;
    }
    return 3;
}

std::vector<Clip> clipsOfType(const std::vector<Track>& tracks, TrackType type) {
    std::vector<Clip> result;
    for (const Track& track : tracks) {
        if (track.type == type) {
            result.insert(result.end(), track.clips.begin(), track.clips.end());
        }
    }
    return result;
}

void dropEmptyNonDefaultTracks(std::vector<Track>& tracks) {
    std::erase_if(tracks,
                  [](const Track& track) { return track.clips.empty() && !track.isDefault; });
}

} // namespace

Project Project::makeNew(double maxDuration) {
    return Project{{}, maxDuration}.ensuringDefaultAudioTracks();
}

const Clip* Project::findClip(const Uuid& clipId) const& {
    for (const Track& track : tracks) {
        for (const Clip& clip : track.clips) {
            if (clip.id == clipId) {
                return &clip;
            }
        }
    }
    return nullptr;
}

const Track* Project::findTrackByName(std::string_view name) const& {
    for (const Track& track : tracks) {
        if (track.name == name) {
            return &track;
        }
    }
    return nullptr;
}

const Track* Project::findTrackContainingClip(const Uuid& clipId) const& {
    for (const Track& track : tracks) {
        for (const Clip& clip : track.clips) {
            if (clip.id == clipId) {
                return &track;
            }
        }
    }
    return nullptr;
}

std::vector<Clip> Project::videoClips() const {
    return clipsOfType(tracks, TrackType::video);
}

std::vector<Clip> Project::imageClips() const {
    return clipsOfType(tracks, TrackType::image);
}

std::vector<Clip> Project::textClips() const {
    return clipsOfType(tracks, TrackType::text);
}

std::vector<std::string> Project::allClipNames() const {
    std::vector<std::string> names;
    for (const Track& track : tracks) {
        for (const Clip& clip : track.clips) {
            names.push_back(clip.assetName);
        }
    }
    return names;
}

std::vector<Track> Project::allTrackLanes() const {
    std::array<TrackType, 4> laneTypes{};
    for (TrackType type : allTrackTypes) {
        laneTypes[static_cast<std::size_t>(laneOrder(type))] = type;
    }
    std::vector<Track> lanes;
    lanes.reserve(tracks.size() + laneTypes.size());
    for (TrackType type : laneTypes) {
        bool any = false;
        for (const Track& track : tracks) {
            if (track.type == type) {
                lanes.push_back(track);
                any = true;
            }
        }
        if (!any) {
            lanes.push_back(
                Track{placeholderTrackID(type), type, std::string(baseWord(type)), {}, false});
        }
    }
    return lanes;
}

std::string Project::nextTrackName(TrackType type) const {
    std::string_view word = baseWord(type);
    std::optional<std::int64_t> largest;
    for (const Track& track : tracks) {
        if (track.type != type || !std::string_view(track.name).starts_with(word)) {
            continue;
        }
        std::string rest =
            unicode::trimmingWhitespace(std::string_view(track.name).substr(word.size()));
        if (auto number = parseSignedDecimal(rest)) {
            largest = largest ? std::max(*largest, *number) : *number;
        }
    }
    return std::string(word) + " " + successorText(largest.value_or(0));
}

Project Project::addingClip(const Clip& clip, const Uuid& toTrackId) const& {
    return Project(*this).addingClip(clip, toTrackId);
}

Project Project::addingClip(Clip clip, Uuid toTrackId) && {
    for (Track& track : tracks) {
        if (track.id == toTrackId) {
            track.clips.push_back(clip);
        }
    }
    return std::move(*this);
}

Project Project::addingClip(const Clip& clip, TrackType toTrackType) const& {
    return Project(*this).addingClip(clip, toTrackType);
}

Project Project::addingClip(Clip clip, TrackType toTrackType) && {
    auto target = std::find_if(tracks.begin(), tracks.end(),
                               [&](const Track& track) { return track.type == toTrackType; });
    if (target != tracks.end()) {
        target->clips.push_back(std::move(clip));
    } else {
        std::string name = nextTrackName(toTrackType);
        tracks.push_back(Track{Uuid::random(), toTrackType, std::move(name), {}, false});
        tracks.back().clips.push_back(std::move(clip));
    }
    return std::move(*this);
}

Project Project::replacingClip(const Clip& clip) const& {
    return Project(*this).replacingClip(clip);
}

Project Project::replacingClip(Clip clip) && {
    for (Track& track : tracks) {
        for (Clip& existing : track.clips) {
            if (existing.id == clip.id) {
                existing = clip;
            }
        }
    }
    return std::move(*this);
}

Project Project::replacingClipWithSplit(const Uuid& originalId, const Clip& first,
                                        const Clip& second) const& {
    return Project(*this).replacingClipWithSplit(originalId, first, second);
}

Project Project::replacingClipWithSplit(Uuid originalId, Clip first, Clip second) && {
    for (Track& track : tracks) {
        std::vector<Clip>& clips = track.clips;
        for (std::size_t i = 0; i < clips.size(); ++i) {
            if (clips[i].id == originalId) {
                clips[i] = first;
                clips.insert(clips.begin() + static_cast<std::ptrdiff_t>(i) + 1, second);
                ++i;
            }
        }
    }
    return std::move(*this);
}

Project Project::removingClip(const Uuid& clipId) const& {
    return Project(*this).removingClip(clipId);
}

Project Project::removingClip(Uuid clipId) && {
    for (Track& track : tracks) {
        std::erase_if(track.clips, [&](const Clip& clip) { return clip.id == clipId; });
    }
    dropEmptyNonDefaultTracks(tracks);
    return std::move(*this);
}

Project Project::movingClipToTrack(const Uuid& clipId, const Uuid& toTrackId,
                                   double newStartTime) const& {
    return Project(*this).movingClipToTrack(clipId, toTrackId, newStartTime);
}

Project Project::movingClipToTrack(Uuid clipId, Uuid toTrackId, double newStartTime) && {
    const Clip* found = findClip(clipId);
    const bool targetExists = std::any_of(
        tracks.begin(), tracks.end(), [&](const Track& track) { return track.id == toTrackId; });
    if (found == nullptr || !targetExists) {
        return std::move(*this);
    }
    Clip moved = *found;
    moved.timeRange = TimeRange{newStartTime, found->timeRange.duration};
    for (Track& track : tracks) {
        std::erase_if(track.clips, [&](const Clip& clip) { return clip.id == clipId; });
        if (track.id == toTrackId) {
            track.clips.push_back(moved);
        }
    }
    dropEmptyNonDefaultTracks(tracks);
    return std::move(*this);
}

Project Project::ensuringDefaultAudioTracks() const {
    std::vector<Track> nonAudio;
    // Per name, either one empty track or every clip-holding track of that name in
    // order: an empty duplicate is dropped, a clip-holding track replaces an empty
    // one, and a further clip-holding track is kept beside the first.
    std::map<std::string, std::vector<Track>> audioByName;
    for (const Track& track : tracks) {
        if (track.type != TrackType::audio) {
            nonAudio.push_back(track);
            continue;
        }
        auto [entry, inserted] = audioByName.try_emplace(track.name);
        std::vector<Track>& sameName = entry->second;
        if (inserted) {
            sameName.push_back(track);
        } else if (!track.clips.empty()) {
            if (sameName.front().clips.empty()) {
                sameName.front() = track;
            } else {
                sameName.push_back(track);
            }
        }
    }

    std::vector<Track> result = std::move(nonAudio);
    result.reserve(result.size() + audioByName.size() + defaultAudioTrackNames.size());
    std::vector<std::string_view> missingDefaults;
    for (std::string_view name : defaultAudioTrackNames) {
        auto entry = audioByName.find(std::string(name));
        if (entry == audioByName.end()) {
            missingDefaults.push_back(name);
            continue;
        }
        for (Track& track : entry->second) {
            result.push_back(std::move(track));
        }
        audioByName.erase(entry);
    }
    // std::map orders std::string keys bytewise, which for UTF-8 is code point order.
    for (auto& [name, sameName] : audioByName) {
        for (Track& track : sameName) {
            result.push_back(std::move(track));
        }
    }
    for (std::string_view name : missingDefaults) {
        result.push_back(makeDefaultAudioTrack(name));
    }
    return Project{std::move(result), maxDuration};
}

void to_json(Json& json, const Project& project) {
    json = Json::object();
    Json tracks = Json::array();
    for (const Track& track : project.tracks) {
        tracks.push_back(track);
    }
    json["tracks"] = std::move(tracks);
    json["maxDuration"] = project.maxDuration;
}

void from_json(const Json& json, Project& project) {
    json::expectObject(json);
    const Json& tracks = json::readArray(json, "tracks");
    Project decoded{{}, 0};
    decoded.tracks.reserve(tracks.size());
    for (const Json& track : tracks) {
        decoded.tracks.push_back(track.get<Track>());
    }
    decoded.maxDuration = json::readDouble(json, "maxDuration");
    project = std::move(decoded);
}

} // namespace vexel
