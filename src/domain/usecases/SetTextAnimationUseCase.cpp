#include "domain/usecases/SetTextAnimationUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <cmath>

namespace vexel {

namespace {

bool finiteWithin(double value, double low, double high) {
    return std::isfinite(value) && low <= value && value <= high;
}

} // namespace

void SetTextAnimationUseCase::validateLoop(const TextLoopType& loop) {
    bool valid = finiteWithin(loop.interval(), 0.1, 10.0);
    if (const auto* pulse = loop.getIf<TextLoopType::Pulse>()) {
        valid = valid && finiteWithin(pulse->scale, 0.5, 3.0);
    } else if (const auto* bounce = loop.getIf<TextLoopType::Bounce>()) {
        valid = valid && finiteWithin(bounce->amplitude, 0, 0.5);
    }
    if (!valid) {
        throw EditError::invalidTextAnimationParameter();
    }
}

Project SetTextAnimationUseCase::applyTo(Project project,
                                         const EditCommand::SetTextAnimation& edit) const {
    const Clip& clip = requireClip(project, edit.clipId);
    if (clip.trackType != TrackType::text) {
        throw EditError::textAnimationNotSupported();
    }
    if (edit.loop) {
        validateLoop(*edit.loop);
    }
    ClipBuilder builder(clip);
    if (!edit.entrance && !edit.exit && !edit.loop) {
        builder.textAnimation = std::nullopt;
        return std::move(project).replacingClip(builder.build());
    }
    // Without a stored animation the defaults are ease-out in and ease-in out.
    const TextAnimation stored = clip.textAnimation.value_or(TextAnimation{});
    TextAnimation animation = stored;
    if (edit.entrance) {
        animation.entrance = edit.entrance;
        animation.entranceEasing = edit.entranceEasing;
    }
    if (edit.exit) {
        animation.exit = edit.exit;
        animation.exitEasing = edit.exitEasing;
    }
    if (edit.loop) {
        animation.loop = edit.loop;
    }
    builder.textAnimation = animation;
    return std::move(project).replacingClip(builder.build());
}

Project SetTextAnimationUseCase::applyCase(const EditCommand::SetTextAnimation& edit,
                                           Project project) const {
    return applyTo(std::move(project), edit);
}

} // namespace vexel
