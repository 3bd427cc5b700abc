#pragma once

#include <cstdint>
#include <string>

namespace vexel {

// A double as the user reads it everywhere in messages, prompts and keys: the
// shortest text that reads back to the same value, ".0" on integral values,
// decimal form for 1e-4 <= |x| < 2^53, else "1e-05"/"1e+16" exponent form;
// "nan", "inf", "-inf", "-0.0".
std::string formatNumber(double value);

// Fixed decimals independent of the process locale ("%.2f" without printf).
std::string formatFixed(double value, int decimals);

std::string formatInteger(std::int64_t value);

} // namespace vexel
