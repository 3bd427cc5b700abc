#pragma once

#include "domain/entities/EditCommand.h"

namespace vexel {

struct Project;

// Applies the commands of one case (or, for the meta handler, of a few cases)
// to a project. Handlers never read or write the repository: the executor loads
// the project, hands it over and saves what comes back, so a handler is a pure
// function of the command and the project.
class CommandHandler {
public:
    virtual ~CommandHandler() = default;

    // A test of the command's case and nothing else.
    virtual bool canHandle(const EditCommand& command) const = 0;

    // The project after the command. `project` is given up to the handler,
    // which changes it in place where it can; a failure throws and leaves the
    // caller to go on with what it kept. Only called with a command for which
    // canHandle is true.
    virtual Project apply(const EditCommand& command, Project project) const = 0;

    // Whether the executor saves what apply returns. The handler of the actions
    // around the document changes nothing and saves nothing.
    virtual bool savesResult() const { return true; }
};

} // namespace vexel
