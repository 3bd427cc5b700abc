#pragma once

#include "domain/entities/JSONObjectText.h"

#include <string>

namespace vexel {

// One tool call of a reply. `name` is one of the tool names when the model
// behaves; `id` is what the tool result sent back refers to. The input is held
// as its text until the call is mapped.
struct ToolCall {
    std::string id;
    std::string name;
    JSONObjectText input;
    // The streamed input did not read as a JSON object; `input` is then empty
    // and the call cannot be mapped.
    bool malformedInput = false;

    friend bool operator==(const ToolCall&, const ToolCall&) = default;
};

} // namespace vexel
