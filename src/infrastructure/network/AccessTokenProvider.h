#pragma once

#include <stop_token>
#include <string>

namespace vexel {

// Supplies the bearer token of requests to the backend.
class AccessTokenProvider {
public:
    virtual ~AccessTokenProvider() = default;

    // The current token. May throw; the failure reaches the transport's caller.
    virtual std::string accessToken(std::stop_token stop) = 0;

    // A fresh token, asked for after the backend refused the current one.
    virtual std::string renewAccessToken(std::stop_token stop) = 0;
};

} // namespace vexel
