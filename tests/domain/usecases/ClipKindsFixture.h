#pragma once

#include "domain/entities/ModelFixtures.h"
#include "domain/entities/Project.h"
#include "support/EditEngineHarness.h"

#include <gtest/gtest.h>

namespace vexel::testing {

// A copy of the clip with that id in the project; a test failure when it has none.
inline Clip clipIn(const Project& project, const Uuid& id) {
    const Clip* clip = project.findClip(id);
    EXPECT_NE(clip, nullptr);
    return clip != nullptr ? *clip : Clip{};
}

// One clip of each kind, each on its own track, in a project that ends at 60 s,
// with the edit engine over it.
struct ClipKindsFixture : ::testing::Test {
    Clip video = makeClip(0, 10, TrackType::video, "a.mov");
    Clip nextVideo = makeClip(20, 5, TrackType::video, "b.mov");
    Clip audio = makeClip(0, 8, TrackType::audio, "song.mp3");
    Clip image = makeClip(2, 4, TrackType::image, "photo.png");
    Clip text = makeClip(1, 3, TrackType::text, "Hello");
    EditEngineHarness engine{Project{{makeTrack(TrackType::video, "Video 1", {video, nextVideo}),
                                      makeTrack(TrackType::image, "Image 1", {image}),
                                      makeTrack(TrackType::text, "Text 1", {text}),
                                      makeTrack(TrackType::audio, "Audio 1", {audio}, true)},
                                     60}};

    Project current() const { return engine.repository->current(); }
    // The clip as the repository holds it now.
    Clip stored(const Uuid& id) const { return clipIn(current(), id); }
    bool savedNothing() const { return engine.repository->saved.empty(); }
};

} // namespace vexel::testing
