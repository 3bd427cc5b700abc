#pragma once

#include "domain/entities/JSONValue.h"

#include <optional>
#include <string>
#include <string_view>

// Strict readers of a tool's input object: a string counts only as a JSON
// string and a number only as a JSON number; a required parameter that is
// absent or of another type throws missingParameter with its key.
namespace vexel::toolinput {

// The parameter whatever its JSON type (null included); nullptr when absent.
const JSONValue* find(const JSONObject& input, std::string_view key);
// Whether the key is in the input at all, whatever its JSON type (null included).
bool has(const JSONObject& input, std::string_view key);

// The parameter when it is a JSON string / number; absent otherwise.
std::optional<std::string> optionalString(const JSONObject& input, std::string_view key);
std::optional<double> optionalNumber(const JSONObject& input, std::string_view key);

std::string requiredString(const JSONObject& input, std::string_view key);
double requiredNumber(const JSONObject& input, std::string_view key);

// Range checks that fail for NaN and infinities, throwing
// invalidParameterValue(key, value).
// lo <= value <= hi (finite bounds).
void requireInRange(std::string_view key, double value, double lo, double hi);
// Finite and >= 0.
void requireNonNegative(std::string_view key, double value);
// Finite and > 0.
void requirePositive(std::string_view key, double value);
// Finite.
void requireFinite(std::string_view key, double value);

} // namespace vexel::toolinput
