#pragma once

#include "foundation/Json.h"
#include "foundation/RawValueTable.h"

#include <array>
#include <optional>
#include <string_view>

namespace vexel {

// The quadratic shape of a transition's or an animation's progress over time.
enum class EasingCurve { linear, easeIn, easeOut, easeInOut };

inline constexpr RawValueTable<EasingCurve, 4> easingCurveRawValues{
    "EasingCurve",
    {{{EasingCurve::linear, "linear"},
      {EasingCurve::easeIn, "easeIn"},
      {EasingCurve::easeOut, "easeOut"},
      {EasingCurve::easeInOut, "easeInOut"}}}};

inline constexpr std::array<EasingCurve, 4> allEasingCurves = easingCurveRawValues.cases();

// "linear", "easeIn", "easeOut", "easeInOut".
std::string_view rawValue(EasingCurve curve);
// Exact, case-sensitive match of the raw value; anything else is absent.
std::optional<EasingCurve> easingCurveFromRaw(std::string_view raw);

// The eased progress of a linear progress. The progress is clamped into [0, 1]
// first (NaN counts as 0), so the result always lies in [0, 1].
double easedProgress(EasingCurve curve, double progress);

void to_json(Json& json, EasingCurve curve);
// A bare raw-value string; an unknown string is a data-corrupted error.
void from_json(const Json& json, EasingCurve& curve);

// The required member `key` of `object` as an EasingCurve; errors name `key`.
EasingCurve readEasingCurve(const Json& object, std::string_view key);

} // namespace vexel
