#pragma once

#include <array>
#include <string_view>

namespace vexel {

// Checks shared by the tool parsers on the names and texts that tool calls carry.
struct ParameterValidator {
    ParameterValidator() = delete;

    // The English colour names that text and stroke colours are stored as.
    static constexpr std::array<std::string_view, 10> validColorNames = {
        "white", "black", "red", "yellow", "blue", "green", "orange", "purple", "pink", "gray",
    };
};

} // namespace vexel
