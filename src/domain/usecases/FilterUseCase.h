#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>
#include <string>

namespace vexel {

// Sets or clears the look filter of a video or image clip.
class FilterUseCase : public SingleCaseHandler<EditCommand::Filter> {
public:
    // An empty name or "none" clears the filter without looking at the
    // intensity. Any other name must be a supported preset, matched exactly;
    // the intensity, in [0, 1], is 1 when absent.
    Project applyTo(Project project, const Uuid& clipId, const std::string& filterName,
                    std::optional<double> intensity) const;

private:
    Project applyCase(const EditCommand::Filter& command, Project project) const override;
};

} // namespace vexel
