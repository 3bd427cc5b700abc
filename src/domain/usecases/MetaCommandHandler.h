#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"

namespace vexel {

// Accepts the actions around the document (export, support reports, tutorial,
// undo, redo) and changes nothing: the view models act on them themselves, so
// passing one through the executor is harmless.
class MetaCommandHandler : public CommandHandler {
public:
    bool canHandle(const EditCommand& command) const override;
    // The project, unchanged.
    Project apply(const EditCommand& command, Project project) const override;
    // Nothing changed, so nothing is saved.
    bool savesResult() const override { return false; }
};

} // namespace vexel
