#pragma once

#include <string>
#include <variant>

namespace vexel::update {

// A newer version is published; `url` is an http or https page about it.
struct UpdateAvailable {
    std::string version;
    std::string url;

    friend bool operator==(const UpdateAvailable&, const UpdateAvailable&) = default;
};

// The running version is the newest one published (or newer).
struct UpToDate {
    friend bool operator==(const UpToDate&, const UpToDate&) = default;
};

// The feed could not be read or made no sense.
struct UpdateCheckFailed {
    friend bool operator==(const UpdateCheckFailed&, const UpdateCheckFailed&) = default;
};

using UpdateCheckResult = std::variant<UpdateAvailable, UpToDate, UpdateCheckFailed>;

} // namespace vexel::update
