#include "presentation/helpers/TimeFormatting.h"

#include "foundation/NumberText.h"

#include <cmath>
#include <cstdint>

namespace vexel {

namespace {

// Callers pass clip times, which are finite and at most an hour; anything
// else is still shown rather than cast out of range: NaN as 0, and times
// beyond about 146 billion years at that bound.
std::int64_t wholeSeconds(double seconds) {
    constexpr double limit = 4611686018427387904.0; // 2^62
    if (std::isnan(seconds)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::trunc(std::fmax(-limit, std::fmin(limit, seconds))));
}

// "%d:%02d": a negative remainder keeps its sign, as printf writes it.
std::string minutesAndSeconds(std::int64_t whole) {
    const std::int64_t minutes = whole / 60;
    const std::int64_t rest = whole % 60;
    std::string text = formatInteger(minutes) + ":";
    if (rest >= 0 && rest < 10) {
        text += '0';
    }
    return text + formatInteger(rest);
}

} // namespace

std::string TimeFormatting::standard(double seconds) {
    return minutesAndSeconds(wholeSeconds(seconds));
}

std::string TimeFormatting::compact(double seconds) {
    const std::int64_t whole = wholeSeconds(seconds);
    if (whole < 60) {
        return formatInteger(whole) + "s";
    }
    return minutesAndSeconds(whole);
}

} // namespace vexel
