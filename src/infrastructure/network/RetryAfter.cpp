#include "infrastructure/network/RetryAfter.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace vexel {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// [+-] digits [. digits] [(e|E) [+-] digits], with at least one mantissa digit.
bool isDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    auto digitsFrom = [&](std::size_t start) {
        std::size_t end = start;
        while (end < text.size() && isDigit(text[end])) {
            ++end;
        }
        return end - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissaDigits = digitsFrom(i);
    i += mantissaDigits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const std::size_t fraction = digitsFrom(i);
        mantissaDigits += fraction;
        i += fraction;
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponent = digitsFrom(i);
        if (exponent == 0) {
            return false;
        }
        i += exponent;
    }
    return i == text.size();
}

// Whether a well-formed number that does not fit a double is too large (as
// opposed to too close to zero): the position of its first significant digit.
bool magnitudeOverflows(std::string_view text) {
    const auto exponentAt = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = text.substr(exponentAt + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '+' || digits.front() == '-') {
            digits.remove_prefix(1);
        }
        for (const char c : digits) {
            exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000'000);
        }
        exponent = negative ? -exponent : exponent;
    }
    bool seenPoint = false;
    long long integerDigits = 0;
    long long fractionZeros = 0;
    for (const char c : mantissa) {
        if (c == '.') {
            seenPoint = true;
        } else if (isDigit(c)) {
            if (!seenPoint) {
                if (c != '0' || integerDigits > 0) {
                    ++integerDigits;
                }
            } else if (integerDigits == 0) {
                if (c != '0') {
                    break;
                }
                ++fractionZeros;
            }
        }
    }
    // The decimal exponent of the first nonzero digit.
    const long long leadingPosition = integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1);
    return leadingPosition + exponent > 0;
}

} // namespace

std::optional<double> parseRetryAfter(std::string_view text) {
    if (!isDecimalNumber(text)) {
        return std::nullopt;
    }
    const bool negative = text.front() == '-';
    std::string_view unsignedText = text;
    if (text.front() == '+' || text.front() == '-') {
        unsignedText.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(unsignedText.data(), unsignedText.data() + unsignedText.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = magnitudeOverflows(unsignedText) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc() || end != unsignedText.data() + unsignedText.size()) {
        return std::nullopt;
    }
    if (negative) {
        value = -value;
    }
    return std::clamp(value, 0.1, 30.0);
}

} // namespace vexel
