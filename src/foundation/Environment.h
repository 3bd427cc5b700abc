#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vexel {

// Reads one environment variable; nothing when it is unset. Taken as a value
// so that tests can give the variables they need.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The process environment.
std::optional<std::string> processEnvironment(const std::string& name);

} // namespace vexel
