#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Sets the rendering scale of a text clip, 0.1 to 5.
class ScaleTextUseCase : public SingleCaseHandler<EditCommand::ScaleText> {
public:
    static constexpr double minScale = 0.1;
    static constexpr double maxScale = 5.0;

    Project applyTo(Project project, const Uuid& clipId, double scale) const;

private:
    Project applyCase(const EditCommand::ScaleText& command, Project project) const override;
};

} // namespace vexel
