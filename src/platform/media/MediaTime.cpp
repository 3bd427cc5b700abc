#include "platform/media/MediaTime.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <ostream>
#include <stdexcept>

namespace vexel::media {

namespace {

__extension__ using Wide = __int128;

constexpr Wide kMaxValue = std::numeric_limits<std::int64_t>::max();
constexpr Wide kMinValue = std::numeric_limits<std::int64_t>::min();

std::int64_t narrow(Wide value) {
    if (value > kMaxValue || value < kMinValue) {
        throw std::overflow_error("media time out of range");
    }
    return static_cast<std::int64_t>(value);
}

// numerator / denominator rounded to nearest, halves away from zero.
Wide divideRounded(Wide numerator, Wide denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    Wide half = denominator / 2;
    if (numerator >= 0) {
        return (numerator + half) / denominator;
    }
    return -((-numerator + half) / denominator);
}

std::int32_t commonTimescale(std::int32_t a, std::int32_t b) {
    if (a == b) {
        return a;
    }
    Wide lcm = static_cast<Wide>(a) / std::gcd(a, b) * b;
    if (lcm <= std::numeric_limits<std::int32_t>::max()) {
        return static_cast<std::int32_t>(lcm);
    }
    return std::max(a, b);
}

} // namespace

MediaTime::MediaTime(std::int64_t value, std::int32_t timescale)
    : value_(value)
    , timescale_(timescale) {
    if (timescale <= 0) {
        throw std::invalid_argument("media timescale must be positive");
    }
}

MediaTime MediaTime::fromSeconds(double seconds, std::int32_t timescale) {
    double scaled = seconds * static_cast<double>(timescale);
    // 2^63 itself does not fit in int64: the bound is exclusive.
    if (!(std::isfinite(scaled) && std::fabs(scaled) < 9223372036854775808.0)) {
        throw std::invalid_argument("seconds not representable as media time");
    }
    return MediaTime(std::llround(scaled), timescale);
}

double MediaTime::seconds() const {
    return static_cast<double>(value_) / static_cast<double>(timescale_);
}

MediaTime MediaTime::convertScale(std::int32_t timescale) const {
    if (timescale <= 0) {
        throw std::invalid_argument("media timescale must be positive");
    }
    if (timescale == timescale_) {
        return *this;
    }
    Wide scaled = divideRounded(static_cast<Wide>(value_) * timescale, timescale_);
    return MediaTime(narrow(scaled), timescale);
}

MediaTime MediaTime::multipliedByRatio(std::int64_t numerator, std::int64_t denominator) const {
    if (denominator == 0) {
        throw std::invalid_argument("division by zero in media time");
    }
    Wide scaled = divideRounded(static_cast<Wide>(value_) * numerator, denominator);
    return MediaTime(narrow(scaled), timescale_);
}

MediaTime operator+(const MediaTime& a, const MediaTime& b) {
    std::int32_t timescale = commonTimescale(a.timescale_, b.timescale_);
    MediaTime x = a.convertScale(timescale);
    MediaTime y = b.convertScale(timescale);
    return MediaTime(narrow(static_cast<Wide>(x.value_) + y.value_), timescale);
}

MediaTime operator-(const MediaTime& a, const MediaTime& b) {
    return a + (-b);
}

MediaTime MediaTime::operator-() const {
    return MediaTime(narrow(-static_cast<Wide>(value_)), timescale_);
}

std::strong_ordering operator<=>(const MediaTime& a, const MediaTime& b) {
    Wide left = static_cast<Wide>(a.value_) * b.timescale_;
    Wide right = static_cast<Wide>(b.value_) * a.timescale_;
    return left <=> right;
}

bool operator==(const MediaTime& a, const MediaTime& b) {
    return (a <=> b) == std::strong_ordering::equal;
}

std::string MediaTime::description() const {
    return std::to_string(value_) + "/" + std::to_string(timescale_);
}

std::ostream& operator<<(std::ostream& out, const MediaTime& time) {
    return out << time.description();
}

MediaTime min(const MediaTime& a, const MediaTime& b) {
    return b < a ? b : a;
}

MediaTime max(const MediaTime& a, const MediaTime& b) {
    return a < b ? b : a;
}

MediaTime multiplyByRatio(const MediaTime& time, const MediaTime& numerator,
                          const MediaTime& denominator) {
    if (denominator.value() == 0) {
        throw std::invalid_argument("division by zero in media time");
    }
    // (t.v / t.s) * (n.v / n.s) / (d.v / d.s) = t.v * n.v * d.s / (t.s * n.s * d.v)
    Wide top = 0;
    Wide bottom = 0;
    bool overflow =
        __builtin_mul_overflow(static_cast<Wide>(time.value()), numerator.value(), &top) ||
        __builtin_mul_overflow(top, static_cast<Wide>(denominator.timescale()), &top) ||
        __builtin_mul_overflow(static_cast<Wide>(time.timescale()),
                               static_cast<Wide>(numerator.timescale()), &bottom) ||
        __builtin_mul_overflow(bottom, static_cast<Wide>(denominator.value()), &bottom);
    std::int32_t finest =
        std::max({time.timescale(), numerator.timescale(), denominator.timescale()});
    auto approximately = [&] {
        return MediaTime::fromSeconds(time.seconds() * numerator.seconds() / denominator.seconds(),
                                      finest);
    };
    if (overflow) {
        return approximately();
    }
    if (bottom < 0) {
        top = -top;
        bottom = -bottom;
    }
    Wide a = top < 0 ? -top : top;
    Wide b = bottom;
    while (b != 0) {
        Wide r = a % b;
        a = b;
        b = r;
    }
    if (a > 1) {
        top /= a;
        bottom /= a;
    }
    if (bottom <= std::numeric_limits<std::int32_t>::max()) {
        return MediaTime(narrow(top), static_cast<std::int32_t>(bottom));
    }
    Wide scaled = 0;
    if (__builtin_mul_overflow(top, static_cast<Wide>(finest), &scaled)) {
        return approximately();
    }
    return MediaTime(narrow(divideRounded(scaled, bottom)), finest);
}

} // namespace vexel::media
