#include "infrastructure/network/BackendAPIClientFactory.h"

#include <stdexcept>

namespace vexel {

ClaudeAPIClient makeBackendAPIClient(std::shared_ptr<net::HttpClient> session,
                                     std::shared_ptr<AccessTokenProvider> tokens,
                                     const BackendConfiguration& configuration,
                                     std::shared_ptr<Sleeper> sleeper) {
    if (!tokens) {
        throw std::invalid_argument("makeBackendAPIClient needs an access-token provider");
    }
    return ClaudeAPIClient(
        std::move(session), [tokens](std::stop_token stop) { return tokens->accessToken(stop); },
        [tokens](std::stop_token stop) { return tokens->renewAccessToken(stop); },
        configuration.baseURL.value_or(""), std::nullopt, 2048, 60.0, 1.0, std::move(sleeper));
}

} // namespace vexel
