#include "foundation/Environment.h"

#include <cstdlib>

namespace vexel {

std::optional<std::string> processEnvironment(const std::string& name) {
    if (const char* value = std::getenv(name.c_str())) {
        return std::string(value);
    }
    return std::nullopt;
}

} // namespace vexel
