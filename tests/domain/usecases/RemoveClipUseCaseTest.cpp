#include "domain/usecases/RemoveClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

TEST(RemoveClipUseCase, RemovesClipsAndEmptyNonDefaultTracksAndUndoes) {
    const Clip video = makeClip(0, 5);
    const Clip first = makeClip(0, 5, TrackType::audio, "a.mp3");
    const Clip second = makeClip(5, 5, TrackType::audio, "b.mp3");
    EditEngineHarness engine{Project{{makeTrack(TrackType::video, "Video 1", {video}),
                                      makeTrack(TrackType::audio, "Audio 1", {first}, true),
                                      makeTrack(TrackType::audio, "Music", {second})},
                                     60}};
    UseCaseDriver<RemoveClipUseCase> useCase(engine);

    // The only clip of a non-default track takes the track with it.
    const Project start = engine.repository->load();
    const Project withoutVideo = engine.change([&] { return useCase.execute(video.id); });
    EXPECT_EQ(trackNames(withoutVideo), (std::vector<std::string>{"Audio 1", "Music"}));
    engine.expectUndoable(start, withoutVideo);

    // The only clip of a default track leaves the empty track.
    const Project withoutFirst = engine.change([&] { return useCase.execute(first.id); });
    EXPECT_EQ(trackNames(withoutFirst), (std::vector<std::string>{"Audio 1", "Music"}));
    EXPECT_TRUE(withoutFirst.tracks[0].clips.empty());
    engine.expectUndoable(withoutVideo, withoutFirst);

    engine.repository->saved.clear();
    expectEditError([&] { useCase.execute(video.id); }, EditError::clipNotFound(video.id));
    EXPECT_TRUE(engine.repository->saved.empty());
}
