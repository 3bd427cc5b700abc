#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/EditError.h"
#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"

#include <utility>

namespace vexel {

// A handler that accepts exactly one command case and takes its payload apart
// in applyCase; the use case behind it keeps its own typed operation.
template <class Case> class SingleCaseHandler : public CommandHandler {
public:
    using Command = Case;

    bool canHandle(const EditCommand& command) const final { return command.is<Case>(); }

    Project apply(const EditCommand& command, Project project) const final {
        const Case* payload = command.getIf<Case>();
        if (payload == nullptr) {
            // A broken contract: the executor asks canHandle first.
            throw EditError::unsupportedCommand();
        }
        return applyCase(*payload, std::move(project));
    }

protected:
    virtual Project applyCase(const Case& payload, Project project) const = 0;
};

} // namespace vexel
