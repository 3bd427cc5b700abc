#include "domain/usecases/AddTrackUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

TEST(AddTrackUseCase, AddsNamedOrNumberedAudioTracksUpToEight) {
    EditEngineHarness engine{Project::makeNew()};
    UseCaseDriver<AddTrackUseCase> useCase(engine);

    const Project before = engine.repository->load();
    const Project after =
        engine.change([&] { return useCase.execute(std::string("  Drums "), TrackType::audio); });
    ASSERT_EQ(after.tracks.size(), 4u);
    EXPECT_EQ(after.tracks[3].name, "Drums");
    EXPECT_EQ(after.tracks[3].type, TrackType::audio);
    EXPECT_FALSE(after.tracks[3].isDefault);
    EXPECT_TRUE(after.tracks[3].clips.empty());
    engine.expectUndoable(before, after);

    useCase.execute(std::nullopt, TrackType::audio);
    useCase.execute(std::string("\x01 \u200B"), TrackType::audio);
    useCase.execute(std::string("Drums"), TrackType::audio); // duplicates are allowed
    EXPECT_EQ(trackNames(engine.repository->current()),
              (std::vector<std::string>{"Audio 1", "Audio 2", "Audio 3", "Drums", "Audio 4",
                                        "Audio 5", "Drums"}));

    engine.repository->saved.clear();
    expectEditError([&] { useCase.execute(std::nullopt, TrackType::video); },
                    EditError::audioTrackOnly());
    useCase.execute(std::nullopt, TrackType::audio); // the eighth
    expectEditError([&] { useCase.execute(std::nullopt, TrackType::audio); },
                    EditError::maxTracksReached());
    // The type is checked before the count.
    expectEditError([&] { useCase.execute(std::nullopt, TrackType::text); },
                    EditError::audioTrackOnly());
    EXPECT_EQ(engine.repository->saved.size(), 1u);
}
