#include "infrastructure/network/ConfiguredAccessTokenProvider.h"

#include "foundation/CancellationError.h"
#include "infrastructure/network/APIClientError.h"
#include "infrastructure/network/AuthenticationError.h"

#include <stdexcept>
#include <utility>

namespace vexel {

ConfiguredAccessTokenProvider::ConfiguredAccessTokenProvider(
    std::function<BackendConfiguration()> configuration)
    : configuration_(std::move(configuration)) {
    if (!configuration_) {
        throw std::invalid_argument("ConfiguredAccessTokenProvider needs a configuration source");
    }
}

std::string ConfiguredAccessTokenProvider::configuredToken(std::stop_token stop) const {
    throwIfCancelled(stop);
    auto token = configuration_().accessToken;
    if (!token) {
        throw APIClientError::unauthorized();
    }
    return std::move(*token);
}

std::string ConfiguredAccessTokenProvider::accessToken(std::stop_token stop) {
    std::string token = configuredToken(stop);
    const std::lock_guard lock(mutex_);
    lastIssued_ = token;
    return token;
}

std::string ConfiguredAccessTokenProvider::renewAccessToken(std::stop_token stop) {
    std::string token = configuredToken(stop);
    const std::lock_guard lock(mutex_);
    if (token == lastIssued_) {
        throw AuthenticationError::configuredTokenRefused();
    }
    lastIssued_ = token;
    return token;
}

} // namespace vexel
