#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// Checks shared by the tool parsers on the names and texts that tool calls
// carry. Lengths are UTF-8 bytes; each check throws LLMResponseParserError.
struct ParameterValidator {
    ParameterValidator() = delete;

    // The English colour names that text and stroke colours are stored as.
    static constexpr std::array<std::string_view, 10> validColorNames = {
        "white", "black", "red", "yellow", "blue", "green", "orange", "purple", "pink", "gray",
    };

    // Not empty, no "/", "\", ".." or NUL, at most 255 bytes; else invalidFilename.
    static void validateFilename(std::string_view name);
    // Not blank once trimmed of white space and line breaks, no NUL, at most
    // 500 bytes; else invalidTextContent.
    static void validateTextContent(std::string_view text);
    // The text rules with a limit of 100 bytes; else invalidTextContent.
    static void validateFontName(std::string_view name);
    // Not empty, no NUL, at most 50 bytes, and a colour name in any letter case
    // (English or localised); else invalidTextContent.
    static void validateColorName(std::string_view name);

    // One of the ten English names for a colour name in any letter case,
    // English or localised, compared canonically; absent for anything else.
    static std::optional<std::string> normalizeColorName(std::string_view name);
};

} // namespace vexel
