#pragma once

#include "data/llm/AnthropicStreamEvent.h"
#include "infrastructure/network/SSELine.h"

#include <optional>

namespace vexel {

// Reads one server-sent event of a streamed reply as a typed stream event.
// Stateless. Lines of no interest (keep-alives, errors, unknown block or delta
// types) and data that is not a JSON object give nothing.
class AnthropicStreamEventParser {
public:
    // Text and input-JSON deltas in the backend's own form are read directly;
    // everything else goes through parseFully.
    static std::optional<AnthropicStreamEvent> parse(const SSELine& line);

    // The same reading through a whole JSON document for every line. Kept
    // callable so that the direct reading can be checked against it.
    static std::optional<AnthropicStreamEvent> parseFully(const SSELine& line);
};

} // namespace vexel
