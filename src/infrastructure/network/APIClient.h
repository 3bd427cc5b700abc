#pragma once

#include "foundation/AsyncChannel.h"
#include "foundation/Json.h"
#include "infrastructure/network/SSELine.h"

#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

// Sends tool-use conversations to the assistant backend.
class APIClient {
public:
    virtual ~APIClient() = default;

    // One request; returns the whole reply body. Blocking; throws APIClientError,
    // CancellationError, or the access-token provider's own failure.
    virtual std::string sendToolUseMessage(const std::string& systemPrompt,
                                           const std::vector<Json>& messages,
                                           const std::vector<Json>& tools,
                                           std::stop_token stop) = 0;

    // One streamed request; returns at once. The stream yields the reply's events
    // as they arrive and ends with the failure of the exchange, if any.
    virtual AsyncStream<SSELine> streamToolUseMessage(const std::string& systemPrompt,
                                                      const std::vector<Json>& messages,
                                                      const std::vector<Json>& tools) = 0;
};

} // namespace vexel
