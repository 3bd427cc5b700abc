#include "foundation/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace vexel {

namespace {

constexpr double twoTo53 = 9007199254740992.0;

} // namespace

std::string formatNumber(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    if (value == 0) {
        return std::signbit(value) ? "-0.0" : "0.0";
    }

    // Shortest round-trip digits in scientific form: "d.ddde±x".
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific);
    (void)ec;
    std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));

    bool negative = text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    auto ePos = text.find('e');
    std::string_view mantissa = text.substr(0, ePos);
    int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
    std::string digits;
    for (char c : mantissa) {
        if (c != '.') {
            digits.push_back(c);
        }
    }

    std::string out = negative ? "-" : "";
    double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < twoTo53) {
        if (exponent >= 0) {
            auto intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                out += digits;
                out.append(intDigits - digits.size(), '0');
                out += ".0";
            } else {
                out += digits.substr(0, intDigits);
                out += '.';
                out += digits.substr(intDigits);
            }
        } else {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        }
        return out;
    }

    out += digits.substr(0, 1);
    if (digits.size() > 1) {
        out += '.';
        out += digits.substr(1);
    }
    out += exponent < 0 ? "e-" : "e+";
    int absExponent = std::abs(exponent);
    if (absExponent < 10) {
        out += '0';
    }
    out += std::to_string(absExponent);
    return out;
}

std::string formatFixed(double value, int decimals) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    std::array<char, 512> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, decimals);
    if (ec != std::errc{}) {
        return formatNumber(value);
    }
    return std::string(buffer.data(), end);
}

std::string formatInteger(std::int64_t value) {
    return std::to_string(value);
}

} // namespace vexel
