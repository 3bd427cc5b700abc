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
    static std::optional<AnthropicStreamEvent> parse(const SSELine& line);
};

} // namespace vexel
