#pragma once

#include "foundation/DecodeError.h"
#include "foundation/Json.h"
#include "foundation/JsonReader.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vexel {

// The raw values of a plain enumeration, one entry per case in case order. The
// one table gives the text form, the exact look-up by text and the encoded form
// (a bare string), so an enumeration states its names once.
template <class Enum, std::size_t N> struct RawValueTable {
    // Named in decoding errors ("Cannot initialize Direction from ...").
    std::string_view typeName;
    std::array<std::pair<Enum, std::string_view>, N> entries;

    constexpr std::array<Enum, N> cases() const {
        std::array<Enum, N> all{};
        for (std::size_t i = 0; i < N; ++i) {
            all[i] = entries[i].first;
        }
        return all;
    }

    constexpr std::string_view raw(Enum value) const {
        for (const auto& [candidate, text] : entries) {
            if (candidate == value) {
                return text;
            }
        }
        return entries.front().second;
    }

    // Exact, case-sensitive match; anything else is absent.
    constexpr std::optional<Enum> fromRaw(std::string_view text) const {
        for (const auto& [candidate, candidateText] : entries) {
            if (candidateText == text) {
                return candidate;
            }
        }
        return std::nullopt;
    }

    void encode(Json& json, Enum value) const { json = std::string(raw(value)); }

    // A bare raw-value string; a non-string is a type mismatch and an unknown
    // string a data-corrupted error, both attached to `key`.
    Enum decode(const Json& json, std::string_view key = {}) const {
        const std::string text = json::asString(json, key);
        if (auto value = fromRaw(text)) {
            return *value;
        }
        throw DecodeError::dataCorrupted(std::string(key),
                                         "Cannot initialize " + std::string(typeName) +
                                             " from invalid String value " + text);
    }
};

} // namespace vexel
