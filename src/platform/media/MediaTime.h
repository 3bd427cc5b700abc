#pragma once

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace vexel::media {

// A point or length on a media timeline as the exact rational value / timescale
// seconds. Comparison and arithmetic are exact, so 20/600 equals 1/30.
class MediaTime {
public:
    static constexpr std::int32_t defaultTimescale = 600;

    // Zero seconds at the default timescale.
    constexpr MediaTime() = default;
    // Throws std::invalid_argument when the timescale is not positive.
    MediaTime(std::int64_t value, std::int32_t timescale);

    static MediaTime zero() { return MediaTime(); }
    // The nearest time at `timescale`: llround(seconds * timescale). Throws
    // std::invalid_argument for a non-finite or unrepresentable value.
    static MediaTime fromSeconds(double seconds, std::int32_t timescale = defaultTimescale);

    std::int64_t value() const { return value_; }
    std::int32_t timescale() const { return timescale_; }
    double seconds() const;

    // The nearest time at another timescale (halves away from zero).
    MediaTime convertScale(std::int32_t timescale) const;
    // value * numerator / denominator at this timescale, rounded to nearest.
    MediaTime multipliedByRatio(std::int64_t numerator, std::int64_t denominator) const;

    // Exact when the result fits; the timescale is the least common multiple of
    // both when that fits in 32 bits, else the larger one (then rounded).
    // Throws std::overflow_error when the value does not fit.
    friend MediaTime operator+(const MediaTime& a, const MediaTime& b);
    friend MediaTime operator-(const MediaTime& a, const MediaTime& b);
    MediaTime operator-() const;
    MediaTime& operator+=(const MediaTime& other) { return *this = *this + other; }
    MediaTime& operator-=(const MediaTime& other) { return *this = *this - other; }

    friend std::strong_ordering operator<=>(const MediaTime& a, const MediaTime& b);
    friend bool operator==(const MediaTime& a, const MediaTime& b);

    // "value/timescale" for messages and test output.
    std::string description() const;

private:
    std::int64_t value_ = 0;
    std::int32_t timescale_ = defaultTimescale;
};

std::ostream& operator<<(std::ostream& out, const MediaTime& time);

MediaTime min(const MediaTime& a, const MediaTime& b);

// time * numerator / denominator, exact when the result has a 32-bit
// timescale, else rounded to the finest timescale of the three. Throws
// std::invalid_argument when the denominator is zero.
MediaTime multiplyByRatio(const MediaTime& time, const MediaTime& numerator,
                          const MediaTime& denominator);
MediaTime max(const MediaTime& a, const MediaTime& b);

} // namespace vexel::media
