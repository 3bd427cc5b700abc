#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/Project.h"
#include "domain/entities/TransitionType.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>

namespace vexel {

// Sets the incoming and outgoing transitions of a video, image or text clip.
class TransitionUseCase : public SingleCaseHandler<EditCommand::Transition> {
public:
    // The longest transition, in seconds.
    static constexpr double maxDuration = 5.0;

    // Push, wipe, slide, spin, flip and the zooms are for video clips only.
    static bool isGeometric(const TransitionType& type);

    // Per end: an absent duration keeps the stored transition whatever the type
    // and easing; 0 removes it; a positive one (at most 5 s) sets it with the
    // given type and easing, else the stored ones, else a linear fade. The two
    // together must fit in the clip.
    Project applyTo(Project project, const Uuid& clipId, std::optional<double> fadeInDuration,
                    std::optional<double> fadeOutDuration,
                    const std::optional<TransitionType>& type,
                    std::optional<EasingCurve> easing) const;

private:
    Project applyCase(const EditCommand::Transition& command, Project project) const override;
};

} // namespace vexel
