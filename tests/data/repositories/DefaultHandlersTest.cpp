#include "domain/usecases/DefaultHandlers.h"

#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/entities/EditError.h"
#include "domain/entities/EditHistory.h"
#include "domain/entities/ModelFixtures.h"
#include "domain/usecases/AddAudioEffectUseCase.h"
#include "domain/usecases/AddClipUseCase.h"
#include "domain/usecases/AddTextUseCase.h"
#include "domain/usecases/AddTrackUseCase.h"
#include "domain/usecases/AdjustVolumeUseCase.h"
#include "domain/usecases/ColorAdjustUseCase.h"
#include "domain/usecases/CropUseCase.h"
#include "domain/usecases/CrossDissolveUseCase.h"
#include "domain/usecases/DuplicateClipUseCase.h"
#include "domain/usecases/EditTextUseCase.h"
#include "domain/usecases/FilterUseCase.h"
#include "domain/usecases/MetaCommandHandler.h"
#include "domain/usecases/MoveClipUseCase.h"
#include "domain/usecases/OpacityUseCase.h"
#include "domain/usecases/RemoveAudioEffectUseCase.h"
#include "domain/usecases/RemoveClipUseCase.h"
#include "domain/usecases/ReverseUseCase.h"
#include "domain/usecases/RotateFlipUseCase.h"
#include "domain/usecases/ScaleTextUseCase.h"
#include "domain/usecases/SetImageAnimationUseCase.h"
#include "domain/usecases/SetTextAnimationUseCase.h"
#include "domain/usecases/SpeedUseCase.h"
#include "domain/usecases/SplitClipUseCase.h"
#include "domain/usecases/TransformImageOverlayUseCase.h"
#include "domain/usecases/TransitionUseCase.h"
#include "domain/usecases/TrimClipUseCase.h"
#include "support/ExpectEditError.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeindex>
#include <utility>

using namespace vexel;
using namespace vexel::testing;

namespace {

template <std::size_t... I> std::vector<EditCommand> oneOfEachCase(std::index_sequence<I...>) {
    return {EditCommand(std::variant_alternative_t<I, EditCommand::Value>{})...};
}

// One edit of each property use case, what it must have done, and a command
// of the same case that fails after it.
struct Sample {
    std::string name;
    EditCommand command;
    std::function<void(const Project&)> check;
    EditCommand invalid;
    EditError error;
};

struct DefaultHandlersTest : ::testing::Test {
    Clip first = makeClip(0, 10, TrackType::video, "first.mov");
    Clip second = makeClip(10, 6, TrackType::video, "second.mov");
    Clip photo = makeClip(0, 4, TrackType::image, "photo.png");
    Clip title = makeClip(0, 4, TrackType::text, "Title");
    Clip song = makeClip(0, 8, TrackType::audio, "song.mp3");
    Clip voice = [] {
        Clip clip = makeClip(0, 8, TrackType::audio, "voice.wav");
        clip.audioEffects = {AudioEffect{AudioEffectType::pan(0.5)}};
        return clip;
    }();
    Project initial{{makeTrack(TrackType::video, "Video 1", {first, second}),
                     makeTrack(TrackType::image, "Image 1", {photo}),
                     makeTrack(TrackType::text, "Text 1", {title}),
                     makeTrack(TrackType::audio, "Audio 1", {song}, true),
                     makeTrack(TrackType::audio, "Audio 2", {voice}, true)},
                    120};

    std::shared_ptr<InMemoryProjectRepository> repository =
        std::make_shared<InMemoryProjectRepository>(initial);
    DefaultEditCommandExecutor executor = makeDefaultEditCommandExecutor(
        repository, std::make_shared<FakeMediaLoader>(), std::make_shared<FakeExportService>());

    static Clip clip(const Project& project, const Uuid& id) {
        const Clip* found = project.findClip(id);
        EXPECT_NE(found, nullptr);
        return found != nullptr ? *found : Clip{};
    }

    std::vector<Sample> samples() const {
        using C = EditCommand;
        const Uuid missing = Uuid::random();
        EditCommand::EditText editText;
        editText.textId = title.id;
        editText.text = "Bye";
        EditCommand::EditText editVideoAsText;
        editVideoAsText.textId = first.id;
        editVideoAsText.text = "x";
        EditCommand::SetTextAnimation animate;
        animate.clipId = title.id;
        animate.entrance = TextEntranceType::fadeIn();
        EditCommand::SetTextAnimation animateVideo = animate;
        animateVideo.clipId = first.id;
        return {
            {"adjustVolume", C::AdjustVolume{song.id, 0.5, TimeRange{1, 2}},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, song.id).volume, 0.5);
                 EXPECT_EQ(clip(p, song.id).fadeRange, (TimeRange{1, 2}));
             },
             C::AdjustVolume{song.id, 1.5, std::nullopt}, EditError::invalidVolume(1.5)},
            {"speed", C::Speed{second.id, 2.0},
             [&](const Project& p) { EXPECT_EQ(clip(p, second.id).timeRange.duration, 3); },
             C::Speed{second.id, 8}, EditError::invalidSpeed(8)},
            {"opacity", C::Opacity{photo.id, 0.5},
             [&](const Project& p) { EXPECT_EQ(clip(p, photo.id).opacity, 0.5); },
             C::Opacity{missing, 0.5}, EditError::clipNotFound(missing)},
            {"colorAdjust", C::ColorAdjust{first.id, 0.2, std::nullopt, std::nullopt},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, first.id).colorAdjust, (ColorAdjust{0.2, 1, 1}));
             },
             C::ColorAdjust{first.id, 2, std::nullopt, std::nullopt},
             EditError::invalidBrightness(2)},
            {"rotateFlip", C::RotateFlip{first.id, 90, std::nullopt, std::nullopt},
             [&](const Project& p) { EXPECT_EQ(clip(p, first.id).transform->rotation, 90); },
             C::RotateFlip{first.id, 45, std::nullopt, std::nullopt},
             EditError::invalidRotation(45)},
            {"crop", C::Crop{photo.id, 0.1, 0.1, 0.5, 0.5},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, photo.id).transform->cropRect,
                           (NormalizedRect{0.1, 0.1, 0.5, 0.5}));
             },
             C::Crop{photo.id, 0, 0, 0, 1}, EditError::invalidCropRect()},
            {"transition", C::Transition{first.id, 1.0, std::nullopt, std::nullopt, std::nullopt},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, first.id).transitionIn,
                           (TransitionEffect{1, TransitionType::fade(), EasingCurve::linear}));
             },
             C::Transition{first.id, 6.0, std::nullopt, std::nullopt, std::nullopt},
             EditError::invalidTransitionDuration(6)},
            {"crossDissolve", C::CrossDissolve{first.id, 1.0},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, first.id).transitionOut->type, TransitionType::crossDissolve());
                 EXPECT_EQ(clip(p, second.id).transitionIn->type, TransitionType::crossDissolve());
             },
             C::CrossDissolve{second.id, 1.0}, EditError::noAdjacentClip(second.id)},
            {"reverse", C::Reverse{song.id},
             [&](const Project& p) { EXPECT_TRUE(clip(p, song.id).isReversed); },
             C::Reverse{photo.id}, EditError::trackTypeMismatch()},
            {"filter", C::Filter{first.id, "noir", 0.5},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, first.id).filter, (FilterPreset{"noir", 0.5}));
             },
             C::Filter{first.id, "blur", std::nullopt}, EditError::invalidFilterName("blur")},
            {"editText", editText,
             [&](const Project& p) { EXPECT_EQ(clip(p, title.id).assetName, "Bye"); },
             editVideoAsText, EditError::clipNotFound(first.id)},
            {"setTextAnimation", animate,
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, title.id).textAnimation->entrance, TextEntranceType::fadeIn());
             },
             animateVideo, EditError::textAnimationNotSupported()},
            {"setImageAnimation",
             C::SetImageAnimation{photo.id, ImageAnimationType::zoomIn(1.5), EasingCurve::easeIn},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, photo.id).imageAnimation,
                           (ImageAnimation{ImageAnimationType::zoomIn(1.5), EasingCurve::easeIn}));
             },
             C::SetImageAnimation{first.id, ImageAnimationType::zoomIn(1.5), EasingCurve::linear},
             EditError::imageAnimationNotSupported()},
            {"addAudioEffect",
             C::AddAudioEffect{song.id, AudioEffect{AudioEffectType::reverb(0.3)}},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, song.id).audioEffects,
                           std::vector{AudioEffect{AudioEffectType::reverb(0.3)}});
             },
             // Refused only because the first command added a reverb.
             C::AddAudioEffect{song.id, AudioEffect{AudioEffectType::reverb(0.5)}},
             EditError::duplicateAudioEffect()},
            {"removeAudioEffect", C::RemoveAudioEffect{voice.id, AudioEffectKind::pan},
             [&](const Project& p) { EXPECT_FALSE(clip(p, voice.id).audioEffects.has_value()); },
             C::RemoveAudioEffect{first.id, AudioEffectKind::pan},
             EditError::audioEffectsNotSupported()},
            {"transformImageOverlay",
             C::TransformImageOverlay{photo.id, 0.3, std::nullopt, std::nullopt},
             [&](const Project& p) {
                 EXPECT_EQ(clip(p, photo.id).overlayTransform, (OverlayTransform{0.3, 0.5, 1}));
             },
             C::TransformImageOverlay{first.id, 0.3, std::nullopt, std::nullopt},
             EditError::trackTypeMismatch()},
            {"scaleText", C::ScaleText{title.id, 2},
             [&](const Project& p) { EXPECT_EQ(clip(p, title.id).textScale, 2); },
             C::ScaleText{title.id, 9}, EditError::invalidScale(9)},
        };
    }
};

} // namespace

TEST_F(DefaultHandlersTest, ListsEveryHandlerOnceInDispatchOrder) {
    const CommandHandlerRegistry registry =
        makeDefaultCommandHandlers(std::make_shared<FakeMediaLoader>());
    const std::vector<std::type_index> order = {
        typeid(MoveClipUseCase),          typeid(TrimClipUseCase),
        typeid(AddClipUseCase),           typeid(AdjustVolumeUseCase),
        typeid(RemoveClipUseCase),        typeid(AddTextUseCase),
        typeid(SplitClipUseCase),         typeid(EditTextUseCase),
        typeid(DuplicateClipUseCase),     typeid(SpeedUseCase),
        typeid(OpacityUseCase),           typeid(ColorAdjustUseCase),
        typeid(RotateFlipUseCase),        typeid(CropUseCase),
        typeid(TransitionUseCase),        typeid(CrossDissolveUseCase),
        typeid(ReverseUseCase),           typeid(FilterUseCase),
        typeid(AddTrackUseCase),          typeid(SetTextAnimationUseCase),
        typeid(SetImageAnimationUseCase), typeid(AddAudioEffectUseCase),
        typeid(RemoveAudioEffectUseCase), typeid(TransformImageOverlayUseCase),
        typeid(ScaleTextUseCase),         typeid(MetaCommandHandler),
    };
    ASSERT_EQ(registry.handlers.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(std::type_index(typeid(*registry.handlers[i])), order[i]) << "position " << i;
    }

    // Every case of the vocabulary has exactly one handler.
    for (const EditCommand& command :
         oneOfEachCase(std::make_index_sequence<std::variant_size_v<EditCommand::Value>>())) {
        int accepting = 0;
        for (const auto& handler : registry.handlers) {
            accepting += handler->canHandle(command) ? 1 : 0;
        }
        EXPECT_EQ(accepting, 1) << "case " << static_cast<int>(command.tag());
    }
}

TEST_F(DefaultHandlersTest, EveryPropertyEditRunsAloneAndUndoesThroughTheHistory) {
    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.name);
        repository->save(initial);
        EditHistory history;
        const Project before = repository->load();
        const Project after = executor.execute(sample.command);
        history.pushSnapshot(before);
        EXPECT_NE(after, before);
        EXPECT_EQ(repository->load(), after);
        sample.check(after);

        const std::optional<Project> restored = history.undoFrom(repository->load());
        ASSERT_TRUE(restored.has_value());
        repository->save(*restored);
        EXPECT_EQ(repository->load(), initial);
        const std::optional<Project> redone = history.redoFrom(repository->load());
        ASSERT_TRUE(redone.has_value());
        EXPECT_EQ(*redone, after);
    }
}

TEST_F(DefaultHandlersTest, EveryPropertyEditRunsInABatchAndAFailureRollsTheBatchBack) {
    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.name);
        repository->save(initial);
        const Project alone = executor.execute(sample.command);
        repository->save(initial);
        EXPECT_EQ(executor.executeBatch({sample.command}), alone);
        EXPECT_EQ(repository->load(), alone);

        repository->save(initial);
        expectEditError(
            [&] {
                executor.executeBatch({sample.command, sample.invalid});
            },
            sample.error);
        EXPECT_EQ(repository->load(), initial);

        // Alone, after the valid edit, the failing one changes nothing.
        executor.execute(sample.command);
        expectEditError([&] { executor.execute(sample.invalid); }, sample.error);
        EXPECT_EQ(repository->load(), alone);
    }
}

TEST_F(DefaultHandlersTest, ABatchOfAllEditsAppliesAllOrNothing) {
    std::vector<EditCommand> all;
    for (const Sample& sample : samples()) {
        all.push_back(sample.command);
    }
    const Project after = executor.executeBatch(all);
    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.name);
        sample.check(after);
    }
    EXPECT_EQ(repository->load(), after);

    repository->save(initial);
    all.push_back(EditCommand::Opacity{song.id, 0.5});
    expectEditError([&] { executor.executeBatch(all); }, EditError::trackTypeMismatch());
    EXPECT_EQ(repository->load(), initial);
}
