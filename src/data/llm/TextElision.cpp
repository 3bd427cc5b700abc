#include "data/llm/TextElision.h"

#include <algorithm>

namespace vexel {

namespace {

// Whether the byte begins a code point (is not a UTF-8 continuation byte).
bool beginsCodePoint(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

} // namespace

std::string elidedText(std::string_view text, std::size_t maxCharacters) {
    // Every character takes at least one byte: short texts need no count.
    if (text.size() <= maxCharacters) {
        return std::string(text);
    }
    const auto count =
        static_cast<std::size_t>(std::count_if(text.begin(), text.end(), beginsCodePoint));
    if (count <= maxCharacters) {
        return std::string(text);
    }
    const std::size_t kept = maxCharacters / 2;
    // The head ends where its character number `kept` begins; the tail begins
    // at the first of the last `kept` characters.
    std::size_t headEnd = 0;
    for (std::size_t seen = 0; headEnd < text.size(); ++headEnd) {
        if (beginsCodePoint(text[headEnd]) && seen++ == kept) {
            break;
        }
    }
    std::size_t tailStart = text.size();
    for (std::size_t seen = 0; seen < kept && tailStart > 0;) {
        if (beginsCodePoint(text[--tailStart])) {
            ++seen;
        }
    }
    const std::size_t omitted = count - 2 * kept;
    std::string elided(text.substr(0, headEnd));
    elided += " … [" + std::to_string(omitted) +
              (omitted == 1 ? " character omitted] … " : " characters omitted] … ");
    elided += text.substr(tailStart);
    return elided;
}

} // namespace vexel
