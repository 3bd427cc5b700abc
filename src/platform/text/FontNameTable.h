#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace vexel::text {

// The PostScript name (name ID 6) of an OpenType "name" table, or nothing when
// the table holds none in ASCII or is malformed.
std::optional<std::string> postScriptName(std::span<const std::byte> nameTable);

} // namespace vexel::text
