#include "foundation/Base64.h"

#include <array>
#include <cstdint>

namespace vexel::base64 {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeValues() {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return values;
}

constexpr std::array<std::int8_t, 256> kValues = makeValues();

} // namespace

std::string encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    auto at = [&](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k]));
    };
    for (; i + 3 <= bytes.size(); i += 3) {
        std::uint32_t group = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
        out += kAlphabet[group >> 18 & 63];
        out += kAlphabet[group >> 12 & 63];
        out += kAlphabet[group >> 6 & 63];
        out += kAlphabet[group & 63];
    }
    std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = at(i) << 16 | (rest == 2 ? at(i + 1) << 8 : 0);
        out += kAlphabet[group >> 18 & 63];
        out += kAlphabet[group >> 12 & 63];
        out += rest == 2 ? kAlphabet[group >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t padding = 0;
        if (last) {
            padding = text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0;
        }
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            std::int8_t value =
                k < 4 - padding ? kValues[static_cast<unsigned char>(text[i + k])] : 0;
            if (value < 0) {
                return std::nullopt;
            }
            group = group << 6 | static_cast<std::uint32_t>(value);
        }
        // Padding must stand for zero bits, or two texts would decode alike.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) {
            return std::nullopt;
        }
        out += static_cast<char>(group >> 16 & 0xFF);
        if (padding < 2) {
            out += static_cast<char>(group >> 8 & 0xFF);
        }
        if (padding < 1) {
            out += static_cast<char>(group & 0xFF);
        }
    }
    return out;
}

} // namespace vexel::base64
