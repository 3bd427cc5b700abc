#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Project.h"
#include "domain/entities/TextStyle.h"
#include "domain/entities/Track.h"
#include "foundation/Uuid.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vexel::bench {

// Files for the media clips of a bench project to read.
struct BenchMedia {
    // For the video and audio clips.
    std::filesystem::path movie;
    // For the image clips.
    std::filesystem::path photo;
};

// A realistic project of `clipCount` clips spread over two video tracks, an
// image track, a text track and the first audio track, back to back in clips
// of `clipSeconds`; every fourth clip carries a colour adjustment, transitions
// and a fade. Its media clips name files that are not there, unless `media`
// gives real ones.
inline Project benchProject(int clipCount, double clipSeconds = 2.0,
                            const std::optional<BenchMedia>& media = std::nullopt) {
    Project project = Project::makeNew();
    const TrackType types[] = {TrackType::video, TrackType::video, TrackType::image,
                               TrackType::text};
    std::vector<Track> lanes;
    for (int i = 0; i < 4; ++i) {
        lanes.push_back(Track{Uuid::random(),
                              types[i],
                              std::string(baseWord(types[i])) + " " + std::to_string(i + 1),
                              {},
                              false});
    }
    for (int i = 0; i < clipCount; ++i) {
        const int lane = i % 5;
        Track& track = lane < 4 ? lanes[static_cast<std::size_t>(lane)] : project.tracks[0];
        Clip clip;
        clip.id = Uuid::random();
        clip.trackType = track.type;
        clip.timeRange = {static_cast<double>(track.clips.size()) * clipSeconds, clipSeconds};
        if (track.type == TrackType::text) {
            clip.assetName = "Caption number " + std::to_string(i);
            clip.volume = 0;
            clip.textPosition = TextPosition::bottom();
            clip.textStyle = TextStyle{};
        } else if (media) {
            clip.assetURL = track.type == TrackType::image ? media->photo : media->movie;
            clip.assetName = clip.assetURL->filename().string();
        } else {
            clip.assetName = "clip " + std::to_string(i) + ".mov";
            clip.assetURL =
                std::filesystem::path("/home/user/Movies/clip " + std::to_string(i) + ".mov");
        }
        if (i % 4 == 0 && track.type != TrackType::text) {
            clip.colorAdjust = ColorAdjust{0.1, 1.2, 0.9};
            clip.transitionIn = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
            clip.transitionOut =
                TransitionEffect{0.5, TransitionType::fade(), EasingCurve::easeOut};
            clip.fadeRange = TimeRange{0, 1};
            clip.volume = 0.8;
        }
        track.clips.push_back(std::move(clip));
    }
    project.tracks.insert(project.tracks.begin(), lanes.begin(), lanes.end());
    return project;
}

} // namespace vexel::bench
