#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Changes what a text clip says, where it stands, how it looks and when it
// shows. Given values replace the stored ones (a style replaces the whole
// style); absent ones are kept. No overlap test is made: text clips may overlap.
class EditTextUseCase : public SingleCaseHandler<EditCommand::EditText> {
public:
    // A clip that is not a text clip counts as not found. The clip's range,
    // new or kept, must end within the project; a new range must have a
    // positive duration.
    Project applyTo(Project project, const EditCommand::EditText& edit) const;

private:
    Project applyCase(const EditCommand::EditText& command, Project project) const override;
};

} // namespace vexel
