#pragma once

#include "foundation/Json.h"

namespace vexel {

// The 23 tool definitions sent with every assistant request under "tools", in
// the order of `allToolNames`. Each is {"name", "description", "input_schema"};
// every schema is a closed object ("additionalProperties": false) whose
// parameters are plain strings or numbers. Built afresh on each call.
Json buildToolDefinitions();

} // namespace vexel
