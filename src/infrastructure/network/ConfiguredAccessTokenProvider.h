#pragma once

#include "infrastructure/network/AccessTokenProvider.h"
#include "infrastructure/network/BackendConfiguration.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace vexel {

// The token the user configured. Every call reads the configuration again, so a
// token changed since start-up is picked up, by renewal in particular. With no
// token configured, both calls fail as APIClientError::unauthorized. A renewal
// that finds the very token it last handed out fails as
// AuthenticationError::configuredTokenRefused: asking again with it cannot
// help, and the user has to be told to check the configured token.
class ConfiguredAccessTokenProvider final : public AccessTokenProvider {
public:
    explicit ConfiguredAccessTokenProvider(std::function<BackendConfiguration()> configuration);

    std::string accessToken(std::stop_token stop) override;
    std::string renewAccessToken(std::stop_token stop) override;

private:
    std::string configuredToken(std::stop_token stop) const;

    std::function<BackendConfiguration()> configuration_;
    std::mutex mutex_;
    std::optional<std::string> lastIssued_;
};

} // namespace vexel
