#pragma once

#include "foundation/Sleeper.h"
#include "infrastructure/network/AccessTokenProvider.h"
#include "infrastructure/network/BackendConfiguration.h"
#include "infrastructure/network/ClaudeAPIClient.h"
#include "platform/net/HttpClient.h"

#include <memory>

namespace vexel {

// The assistant transport as the application builds it at start-up: at most 2048
// output tokens, a 60 s time-out and a retry base delay of 1 s. With no base URL
// configured, every request fails as APIClientError::invalidURL.
ClaudeAPIClient makeBackendAPIClient(std::shared_ptr<net::HttpClient> session,
                                     std::shared_ptr<AccessTokenProvider> tokens,
                                     const BackendConfiguration& configuration,
                                     std::shared_ptr<Sleeper> sleeper);

} // namespace vexel
