#include "platform/update/DottedVersion.h"

#include <algorithm>

namespace vexel::update {

std::optional<DottedVersion> DottedVersion::parse(std::string_view text) {
    std::vector<std::uint32_t> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = std::min(text.find('.', start), text.size());
        const std::string_view digits = text.substr(start, dot - start);
        if (digits.empty() || digits.size() > maximumDigits || parts.size() == maximumParts) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (const char digit : digits) {
            if (digit < '0' || digit > '9') {
                return std::nullopt;
            }
            value = value * 10 + std::uint32_t(digit - '0');
        }
        parts.push_back(value);
        if (dot == text.size()) {
            return DottedVersion(std::move(parts));
        }
        start = dot + 1;
    }
}

std::strong_ordering operator<=>(const DottedVersion& a, const DottedVersion& b) {
    const std::size_t count = std::max(a.parts_.size(), b.parts_.size());
    for (std::size_t index = 0; index < count; ++index) {
        const std::uint32_t left = index < a.parts_.size() ? a.parts_[index] : 0;
        const std::uint32_t right = index < b.parts_.size() ? b.parts_[index] : 0;
        if (left != right) {
            return left <=> right;
        }
    }
    return std::strong_ordering::equal;
}

} // namespace vexel::update
