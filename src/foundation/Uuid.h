#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// A random (version 4) identifier. Written upper-case, read in any case.
class Uuid {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    // The nil identifier (all zero); real identifiers come from random().
    constexpr Uuid() = default;
    constexpr explicit Uuid(const Bytes& bytes)
        : bytes_(bytes) {}

    static Uuid random();
    // "8-4-4-4-12" hexadecimal groups, either case; anything else is nullopt.
    static std::optional<Uuid> parse(std::string_view text);

    std::string string() const;
    const Bytes& bytes() const { return bytes_; }
    bool isNil() const;

    friend auto operator<=>(const Uuid&, const Uuid&) = default;
    friend bool operator==(const Uuid&, const Uuid&) = default;

private:
    Bytes bytes_{};
};

} // namespace vexel

template <> struct std::hash<vexel::Uuid> {
    std::size_t operator()(const vexel::Uuid& id) const noexcept;
};
