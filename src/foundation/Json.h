#pragma once

#include <nlohmann/json.hpp>

namespace vexel {

// The project's JSON value: members keep the order in which they are written,
// so encoded forms come out in their declared order; readers look members up
// by name and accept any order.
using Json = nlohmann::ordered_json;

} // namespace vexel
