#pragma once

#include "foundation/Environment.h"

#include <optional>
#include <string>

namespace vexel {

// Where the assistant backend is and the access token it accepts; either may be
// missing until the user configures it.
struct BackendConfiguration {
    std::optional<std::string> baseURL;
    std::optional<std::string> accessToken;

    bool operator==(const BackendConfiguration&) const = default;
};

// VEXEL_BACKEND_URL and VEXEL_ACCESS_TOKEN, trimmed of surrounding whitespace.
// An empty value counts as missing, and so does a token with a control
// character, which no request header could carry.
BackendConfiguration readBackendConfiguration(const EnvironmentLookup& environment);

} // namespace vexel
