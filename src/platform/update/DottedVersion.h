#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vexel::update {

// A version written as numbers between dots ("1", "0.1.0", "2.10.3"). Missing
// trailing parts count as 0, so "1.2" and "1.2.0" are the same version, and
// parts compare as numbers, so "1.10" is newer than "1.9".
class DottedVersion {
public:
    // At most this many parts, each at most 9 digits: a feed is untrusted text.
    static constexpr std::size_t maximumParts = 8;
    static constexpr std::size_t maximumDigits = 9;

    // None unless `text` is one or more runs of ASCII digits joined by single
    // dots, within the limits above.
    static std::optional<DottedVersion> parse(std::string_view text);

    const std::vector<std::uint32_t>& parts() const { return parts_; }

    friend std::strong_ordering operator<=>(const DottedVersion& a, const DottedVersion& b);
    friend bool operator==(const DottedVersion& a, const DottedVersion& b) {
        return (a <=> b) == 0;
    }

private:
    explicit DottedVersion(std::vector<std::uint32_t> parts)
        : parts_(std::move(parts)) {}

    std::vector<std::uint32_t> parts_;
};

} // namespace vexel::update
