#pragma once

#include "domain/protocols/CommandHandler.h"

#include <memory>
#include <vector>

namespace vexel {

// The handlers the executor dispatches to, in the order the caller gives them.
// Adding an operation means adding a handler to the list, never editing this.
struct CommandHandlerRegistry {
    std::vector<std::shared_ptr<const CommandHandler>> handlers;

    // The first handler, in list order, that accepts the command; null when none.
    const CommandHandler* handler(const EditCommand& command) const;
};

} // namespace vexel
