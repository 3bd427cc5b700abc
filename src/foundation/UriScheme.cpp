#include "foundation/UriScheme.h"

#include <algorithm>

namespace vexel {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeCharacter(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

} // namespace

bool beginsWithUriScheme(std::string_view location) {
    // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ), then ":" (RFC 3986).
    const std::size_t colon = location.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isLetter(location.front())) {
        return false;
    }
    return std::all_of(location.begin(), location.begin() + static_cast<long>(colon),
                       isSchemeCharacter);
}

} // namespace vexel
