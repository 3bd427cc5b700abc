#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Changes what a text clip says, where it stands, how it looks and when it
// shows. Given values replace the stored ones (a style replaces the whole
// style); absent ones are kept. No overlap test is made: text clips may overlap.
class EditTextUseCase : public CommandHandler {
public:
    explicit EditTextUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // A clip that is not a text clip counts as not found. The clip's range,
    // new or kept, must end within the project; a new range must have a
    // positive duration.
    Project applyTo(const Project& project, const EditCommand::EditText& edit) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
