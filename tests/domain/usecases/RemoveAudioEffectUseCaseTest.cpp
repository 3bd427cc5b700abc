#include "domain/usecases/RemoveAudioEffectUseCase.h"

#include "domain/usecases/ClipKindsFixture.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct RemoveAudioEffectUseCaseTest : ClipKindsFixture {
    UseCaseDriver<RemoveAudioEffectUseCase> useCase{engine};

    RemoveAudioEffectUseCaseTest() {
        Clip withEffects = audio;
        withEffects.audioEffects = {AudioEffect{AudioEffectType::pan(0.2)},
                                    AudioEffect{AudioEffectType::reverb(0.4)},
                                    AudioEffect{AudioEffectType::normalize(-3)}};
        engine.repository->save(current().replacingClip(withEffects));
        engine.repository->saved.clear();
    }
};

} // namespace

TEST_F(RemoveAudioEffectUseCaseTest, RemovesOneKindKeepingTheOrder) {
    const Project after = useCase.execute(audio.id, AudioEffectKind::reverb);
    EXPECT_EQ(after.findClip(audio.id)->audioEffects,
              (std::vector{AudioEffect{AudioEffectType::pan(0.2)},
                           AudioEffect{AudioEffectType::normalize(-3)}}));
}

TEST_F(RemoveAudioEffectUseCaseTest, AnAbsentKindIsNoErrorAndAnEmptyChainIsStoredAsNone) {
    const Project before = current();
    EXPECT_EQ(useCase.execute(audio.id, AudioEffectKind::ducking), before);
    EXPECT_EQ(engine.repository->saved.size(), 1u);

    useCase.execute(audio.id, AudioEffectKind::pan);
    useCase.execute(audio.id, AudioEffectKind::reverb);
    useCase.execute(audio.id, AudioEffectKind::normalize);
    EXPECT_FALSE(stored(audio.id).audioEffects.has_value());
}
