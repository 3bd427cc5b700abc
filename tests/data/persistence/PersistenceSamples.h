#pragma once

#include "domain/entities/Project.h"
#include "foundation/Uuid.h"

#include <filesystem>
#include <string>

namespace vexel::testing {

inline Clip mediaClip(const std::filesystem::path& file, TrackType type = TrackType::video,
                      double start = 0, double duration = 4) {
    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = file.filename().string();
    clip.assetURL = file;
    clip.trackType = type;
    clip.timeRange = {start, duration};
    return clip;
}

inline Clip textClip(std::string text, double start = 0) {
    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = std::move(text);
    clip.trackType = TrackType::text;
    clip.timeRange = {start, 3};
    clip.textPosition = TextPosition::custom(0.25, 0.75);
    clip.textStyle = TextStyle{};
    clip.textScale = 1.5;
    return clip;
}

// A clip with every optional member set, so that a round trip shows that each
// one passes through.
inline Clip richClip(const std::filesystem::path& file) {
    Clip clip = mediaClip(file, TrackType::video, 4, 6);
    clip.sourceOffset = 1.25;
    clip.volume = 0.5;
    clip.rate = 2;
    clip.opacity = 0.75;
    clip.colorAdjust = ColorAdjust{0.1, 1.2, 0.9};
    clip.transform = ClipTransform{90, true, false, NormalizedRect{0.1, 0.1, 0.5, 0.5}};
    clip.transitionIn =
        TransitionEffect{1, TransitionType::push(Direction::left), EasingCurve::easeInOut};
    clip.transitionOut = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    clip.isReversed = true;
    clip.filter = FilterPreset{"noir", 0.8};
    clip.fadeRange = TimeRange{0, 2};
    clip.imageAnimation = ImageAnimation{ImageAnimationType::zoomIn(1.5), EasingCurve::easeIn};
    clip.overlayTransform = OverlayTransform{0.3, 0.4, 2};
    clip.audioEffects = std::vector<AudioEffect>{AudioEffect{AudioEffectType::pan(-0.5)},
                                                 AudioEffect{AudioEffectType::reverb(30)}};
    return clip;
}

// A project with a video track of the given clips, a text track and the
// default audio tracks.
inline Project projectWith(std::vector<Clip> videoClips) {
    Project project = Project::makeNew();
    project.tracks.insert(project.tracks.begin(), Track{Uuid::random(), TrackType::video, "Video 1",
                                                        std::move(videoClips), false});
    project.tracks.insert(
        project.tracks.begin() + 1,
        Track{Uuid::random(), TrackType::text, "Text 1", {textClip("Hello \"world\"")}, false});
    return project;
}

} // namespace vexel::testing
