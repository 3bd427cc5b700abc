#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Track.h"
#include "domain/entities/TrackType.h"
#include "foundation/Json.h"
#include "foundation/Uuid.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexel {

// The document: tracks in display and storage order and the longest timeline
// allowed. Operations never change a project in place; each returns a new one
// with the same maxDuration. No operation sorts clips or checks overlaps.
struct Project {
    // What the application gives every new project.
    static constexpr double defaultMaxDuration = 3600;

    std::vector<Track> tracks;
    double maxDuration = defaultMaxDuration;

    // A new document: the three empty default audio tracks "Audio 1" to "Audio 3".
    static Project makeNew(double maxDuration = defaultMaxDuration);

    // Look-ups in track order, then clip order. The results point into this
    // project, so they are not offered on temporaries.
    const Clip* findClip(const Uuid& clipId) const&;
    const Clip* findClip(const Uuid& clipId) const&& = delete;
    // Exact, case-sensitive name match.
    const Track* findTrackByName(std::string_view name) const&;
    const Track* findTrackByName(std::string_view name) const&& = delete;
    const Track* findTrackContainingClip(const Uuid& clipId) const&;
    const Track* findTrackContainingClip(const Uuid& clipId) const&& = delete;

    std::vector<Clip> videoClips() const;
    std::vector<Clip> imageClips() const;
    std::vector<Clip> textClips() const;
    // Every clip's assetName, duplicates kept.
    std::vector<std::string> allClipNames() const;

    // The lanes the timeline draws: the tracks grouped video, image, text, audio,
    // with one empty placeholder lane (fixed id, bare base word) per type that has
    // no track. Placeholders are never stored in the project.
    std::vector<Track> allTrackLanes() const;

    // "<base word> <n>" with n one more than the largest number that names a
    // track of that type ("Video 1", "Video 3" -> "Video 4").
    std::string nextTrackName(TrackType type) const;

    // Each changing operation comes twice: on a project that stays, it returns a
    // changed copy; on a project given up (std::move(project).replacingClip(c)),
    // it changes that project in place and returns it, so that an edit costs
    // what it changes rather than a copy of every clip. Arguments may refer into
    // the project itself.

    // Appends the clip to every track with that id; unchanged when there is none.
    Project addingClip(const Clip& clip, const Uuid& toTrackId) const&;
    Project addingClip(Clip clip, Uuid toTrackId) &&;
    // Appends the clip to the first track of the type, or to a new track of that
    // type at the end named by nextTrackName.
    Project addingClip(const Clip& clip, TrackType toTrackType) const&;
    Project addingClip(Clip clip, TrackType toTrackType) &&;
    // Every clip with the given clip's id replaced by it, in place.
    Project replacingClip(const Clip& clip) const&;
    Project replacingClip(Clip clip) &&;
    Project replacingClipWithSplit(const Uuid& originalId, const Clip& first,
                                   const Clip& second) const&;
    Project replacingClipWithSplit(Uuid originalId, Clip first, Clip second) &&;
    // Removes every clip with the id, then drops every empty non-default track.
    Project removingClip(const Uuid& clipId) const&;
    Project removingClip(Uuid clipId) &&;
    // Moves the clip (same id, new start) to the end of the target track, then
    // drops every empty non-default track. Unchanged when the clip or the target
    // track does not exist, so a clip can never be lost by a bad target.
    Project movingClipToTrack(const Uuid& clipId, const Uuid& toTrackId,
                              double newStartTime) const&;
    Project movingClipToTrack(Uuid clipId, Uuid toTrackId, double newStartTime) &&;
    // Normalises the audio tracks of a restored project: non-audio tracks first,
    // then "Audio 1" to "Audio 3", then the other audio tracks by name, then the
    // default tracks that were missing. Same-named audio tracks are merged only
    // where no clip is lost.
    Project ensuringDefaultAudioTracks() const;

    friend bool operator==(const Project&, const Project&) = default;
};

// {"tracks", "maxDuration"}, both required.
void to_json(Json& json, const Project& project);
void from_json(const Json& json, Project& project);

} // namespace vexel
