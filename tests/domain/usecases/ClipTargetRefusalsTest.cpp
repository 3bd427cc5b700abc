#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vexel;
using namespace vexel::testing;

namespace {

using C = EditCommand;

struct ClipTargetRefusalsTest : ClipKindsFixture {
    const EditError mismatch = EditError::trackTypeMismatch();

    // The edit, built for a clip id, is refused with `error` on each of the
    // `refused` clips and as not found on an unknown id.
    void expectRefused(const std::function<EditCommand(const Uuid&)>& edit,
                       const std::vector<Clip>& refused, const EditError& error) {
        SCOPED_TRACE(static_cast<int>(edit(Uuid{}).tag()));
        for (const Clip& clip : refused) {
            SCOPED_TRACE(clip.assetName);
            expectEditError([&] { engine.executor.execute(edit(clip.id)); }, error);
        }
        const Uuid missing = Uuid::random();
        expectEditError([&] { engine.executor.execute(edit(missing)); },
                        EditError::clipNotFound(missing));
    }
};

} // namespace

TEST_F(ClipTargetRefusalsTest, EveryClipEditRefusesUnknownClipsAndKindsItDoesNotApplyTo) {
    expectRefused([](const Uuid& id) { return C::Opacity{id, 0.5}; }, {audio, text}, mismatch);
    expectRefused(
        [](const Uuid& id) {
            return C::ColorAdjust{id, 0.1, {}, {}};
        },
        {audio, text}, mismatch);
    expectRefused([](const Uuid& id) { return C::Crop{id, 0, 0, 0.5, 0.5}; }, {audio}, mismatch);
    expectRefused([](const Uuid& id) { return C::Filter{id, "sepia", {}}; }, {audio}, mismatch);
    expectRefused([](const Uuid& id) { return C::RotateFlip{id, 90, {}, {}}; }, {text}, mismatch);
    expectRefused([](const Uuid& id) { return C::ScaleText{id, 1}; }, {image}, mismatch);
    expectRefused([](const Uuid& id) { return C::Reverse{id}; }, {image, text}, mismatch);
    expectRefused([](const Uuid& id) { return C::Speed{id, 2}; }, {image, text}, mismatch);
    expectRefused(
        [](const Uuid& id) {
            return C::CrossDissolve{id, 0.5};
        },
        {audio, text}, mismatch);
    expectRefused(
        [](const Uuid& id) {
            return C::TransformImageOverlay{id, 0.5, 0.5, 1};
        },
        {video}, mismatch);
    expectRefused(
        [](const Uuid& id) {
            return C::Transition{id, 1, {}, {}, {}};
        },
        {audio}, mismatch);
    expectRefused(
        [](const Uuid& id) {
            return C::AddAudioEffect{id, AudioEffect{AudioEffectType::pan(0)}};
        },
        {video, text}, EditError::audioEffectsNotSupported());
    expectRefused(
        [](const Uuid& id) {
            return C::RemoveAudioEffect{id, AudioEffectKind::pan};
        },
        {video, text}, EditError::audioEffectsNotSupported());
    expectRefused(
        [](const Uuid& id) {
            return C::SetImageAnimation{id, ImageAnimationType::shake(0.5), EasingCurve::linear};
        },
        {video, text}, EditError::imageAnimationNotSupported());
    expectRefused(
        [](const Uuid& id) {
            C::SetTextAnimation animate;
            animate.clipId = id;
            animate.entrance = TextEntranceType::fadeIn();
            return animate;
        },
        {video, image}, EditError::textAnimationNotSupported());
    // Edits of any kind of clip; the id is looked up before the values are checked.
    expectRefused([](const Uuid& id) { return C::AdjustVolume{id, 7, {}}; }, {}, mismatch);
    expectRefused([](const Uuid& id) { return C::Move{id, -1, {}}; }, {}, mismatch);
    expectRefused([](const Uuid& id) { return C::Trim{id, -1, 0}; }, {}, mismatch);
    expectRefused([](const Uuid& id) { return C::Split{id, -1}; }, {}, mismatch);
    expectRefused([](const Uuid& id) { return C::DuplicateClip{id, -1.0}; }, {}, mismatch);
    expectRefused([](const Uuid& id) { return C::RemoveClip{id}; }, {}, mismatch);
    EXPECT_TRUE(savedNothing());
}
