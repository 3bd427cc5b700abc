#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>
#include <string>

namespace vexel {

// Places a text overlay clip on the first text track (created when missing), at
// `at` or after the track's last clip. The text, duration and style are taken as
// they are.
class AddTextUseCase : public CommandHandler {
public:
    explicit AddTextUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project execute(const std::string& text, std::optional<double> at, double duration,
                    const TextPosition& position, const TextStyle& style) const;

    bool canHandle(const EditCommand& command) const override;
    // An absent position is bottom, an absent style the default text style.
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
