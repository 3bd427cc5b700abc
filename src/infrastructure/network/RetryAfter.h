#pragma once

#include <optional>
#include <string_view>

namespace vexel {

// The delay of a "Retry-After" header in seconds, clamped to [0.1, 30]. Only a
// plain decimal number counts: an HTTP date, whitespace, "inf", "nan" or a hex
// form give nothing.
std::optional<double> parseRetryAfter(std::string_view text);

} // namespace vexel
