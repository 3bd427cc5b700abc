#include "infrastructure/network/BackendConfiguration.h"

#include <algorithm>
#include <string_view>

namespace vexel {

namespace {

std::optional<std::string> trimmedNonEmpty(const std::optional<std::string>& value) {
    if (!value) {
        return std::nullopt;
    }
    const std::string_view text(*value);
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool holdsControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

BackendConfiguration readBackendConfiguration(const EnvironmentLookup& environment) {
    BackendConfiguration configuration;
    configuration.baseURL = trimmedNonEmpty(environment("VEXEL_BACKEND_URL"));
    configuration.accessToken = trimmedNonEmpty(environment("VEXEL_ACCESS_TOKEN"));
    if (configuration.accessToken && holdsControlCharacter(*configuration.accessToken)) {
        configuration.accessToken.reset();
    }
    return configuration;
}

} // namespace vexel
