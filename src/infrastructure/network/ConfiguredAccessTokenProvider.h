#pragma once

#include "infrastructure/network/AccessTokenProvider.h"
#include "infrastructure/network/BackendConfiguration.h"

#include <functional>

namespace vexel {

// The token the user configured. Every call reads the configuration again, so a
// token changed since start-up is picked up, by renewal in particular. With no
// token configured, both calls fail as APIClientError::unauthorized.
class ConfiguredAccessTokenProvider final : public AccessTokenProvider {
public:
    explicit ConfiguredAccessTokenProvider(std::function<BackendConfiguration()> configuration);

    std::string accessToken(std::stop_token stop) override;
    std::string renewAccessToken(std::stop_token stop) override;

private:
    std::function<BackendConfiguration()> configuration_;
};

} // namespace vexel
