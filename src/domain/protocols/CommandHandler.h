#pragma once

#include "domain/entities/EditCommand.h"

namespace vexel {

struct Project;

// Runs the commands of one case (or, for the meta handler, of a few cases).
class CommandHandler {
public:
    virtual ~CommandHandler() = default;

    // A test of the command's case and nothing else.
    virtual bool canHandle(const EditCommand& command) const = 0;

    // Applies the command to the repository's current project, saves the result
    // and returns it; a failure saves nothing. Only called with a command for
    // which canHandle is true. `project` is the current project as the caller
    // read it.
    virtual Project execute(const EditCommand& command, const Project& project) const = 0;
};

} // namespace vexel
