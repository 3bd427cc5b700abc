#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/Project.h"
#include "domain/entities/TransitionType.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>

namespace vexel {

// Sets the incoming and outgoing transitions of a video, image or text clip.
class TransitionUseCase : public CommandHandler {
public:
    // The longest transition, in seconds.
    static constexpr double maxDuration = 5.0;

    explicit TransitionUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // Push, wipe, slide, spin, flip and the zooms are for video clips only.
    static bool isGeometric(const TransitionType& type);

    // Per end: an absent duration keeps the stored transition whatever the type
    // and easing; 0 removes it; a positive one (at most 5 s) sets it with the
    // given type and easing, else the stored ones, else a linear fade. The two
    // together must fit in the clip.
    Project applyTo(const Project& project, const Uuid& clipId,
                    std::optional<double> fadeInDuration, std::optional<double> fadeOutDuration,
                    const std::optional<TransitionType>& type,
                    std::optional<EasingCurve> easing) const;
    Project execute(const Uuid& clipId, std::optional<double> fadeInDuration,
                    std::optional<double> fadeOutDuration,
                    const std::optional<TransitionType>& type,
                    std::optional<EasingCurve> easing) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
