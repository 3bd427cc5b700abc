#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>
#include <string>

namespace vexel {

// Places a text overlay clip on the first text track (created when missing), at
// `at` or after the track's last clip. The text, duration and style are taken as
// they are.
class AddTextUseCase : public SingleCaseHandler<EditCommand::AddText> {
public:
    Project applyTo(Project project, const std::string& text, std::optional<double> at,
                    double duration, const TextPosition& position, const TextStyle& style) const;

private:
    // An absent position is bottom, an absent style the default text style.
    Project applyCase(const EditCommand::AddText& add, Project project) const override;
};

} // namespace vexel
