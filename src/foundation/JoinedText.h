#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexel {

// The parts one after the other with `separator` between them.
inline std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            text += separator;
        }
        text += parts[i];
    }
    return text;
}

} // namespace vexel
