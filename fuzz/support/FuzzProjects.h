#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Project.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"
#include "domain/entities/Track.h"
#include "foundation/Uuid.h"

#include <filesystem>
#include <string>

namespace vexel::fuzz {

// A small project with every kind of track: two video tracks, an image track,
// a text track and the three default audio tracks, some clips touching, some
// with gaps, one with transitions and a fade.
inline Project smallProject() {
    Project project = Project::makeNew(120);
    auto media = [](std::string name, TrackType type, double start, double duration) {
        Clip clip;
        clip.id = Uuid::random();
        clip.assetName = name;
        clip.assetURL = std::filesystem::path("/media/" + name);
        clip.trackType = type;
        clip.timeRange = {start, duration};
        return clip;
    };
    Track video{Uuid::random(), TrackType::video, "Video 1", {}, false};
    video.clips.push_back(media("a.mov", TrackType::video, 0, 5));
    video.clips.push_back(media("b.mov", TrackType::video, 5, 5));
    Clip faded = media("c.mov", TrackType::video, 12, 6);
    faded.transitionIn = TransitionEffect{1, TransitionType::fade(), EasingCurve::linear};
    faded.transitionOut = TransitionEffect{1, TransitionType::fade(), EasingCurve::easeIn};
    faded.fadeRange = TimeRange{0, 3};
    faded.volume = 0.5;
    video.clips.push_back(faded);
    Track video2{Uuid::random(), TrackType::video, "Video 2", {}, false};
    video2.clips.push_back(media("d.mov", TrackType::video, 2, 4));
    Track image{Uuid::random(), TrackType::image, "Image 1", {}, false};
    image.clips.push_back(media("e.png", TrackType::image, 1, 3));
    Track text{Uuid::random(), TrackType::text, "Text 1", {}, false};
    Clip title;
    title.id = Uuid::random();
    title.assetName = "Hello";
    title.trackType = TrackType::text;
    title.timeRange = {0, 3};
    title.textPosition = TextPosition::bottom();
    title.textStyle = TextStyle{};
    text.clips.push_back(title);
    project.tracks.insert(project.tracks.begin(), {video, video2, image, text});
    project.tracks[4].clips.push_back(media("f.mp3", TrackType::audio, 0, 8));
    project.tracks[4].clips.push_back(media("g.mp3", TrackType::audio, 8, 4));
    return project;
}

} // namespace vexel::fuzz
