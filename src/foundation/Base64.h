#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexel::base64 {

// The standard alphabet with "=" padding.
std::string encode(std::string_view bytes);

// Strict: only the standard alphabet, whole groups of four with correct
// padding and no leftover bits; nullopt otherwise.
std::optional<std::string> decode(std::string_view text);

} // namespace vexel::base64
