#pragma once

#include "foundation/Json.h"

#include <string>
#include <vector>

namespace vexel::test {

// The member names of an object in the order they were written.
inline std::vector<std::string> keysOf(const Json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.push_back(key);
    }
    return keys;
}

} // namespace vexel::test
