#include "data/llm/parsers/ToolInput.h"

#include "data/llm/LLMResponseParserError.h"

#include <cmath>

namespace vexel::toolinput {

namespace {

[[noreturn]] void invalid(std::string_view key, double value) {
    throw LLMResponseParserError::invalidParameterValue(std::string(key), value);
}

} // namespace

const JSONValue* find(const JSONObject& input, std::string_view key) {
    auto found = input.find(std::string(key));
    return found == input.end() ? nullptr : &found->second;
}

bool has(const JSONObject& input, std::string_view key) {
    return find(input, key) != nullptr;
}

std::optional<std::string> optionalString(const JSONObject& input, std::string_view key) {
    if (const JSONValue* value = find(input, key)) {
        if (const std::string* text = value->stringValue()) {
            return *text;
        }
    }
    return std::nullopt;
}

std::optional<double> optionalNumber(const JSONObject& input, std::string_view key) {
    if (const JSONValue* value = find(input, key)) {
        return value->numberValue();
    }
    return std::nullopt;
}

std::string requiredString(const JSONObject& input, std::string_view key) {
    auto text = optionalString(input, key);
    if (!text) {
        throw LLMResponseParserError::missingParameter(std::string(key));
    }
    return std::move(*text);
}

double requiredNumber(const JSONObject& input, std::string_view key) {
    auto number = optionalNumber(input, key);
    if (!number) {
        throw LLMResponseParserError::missingParameter(std::string(key));
    }
    return *number;
}

void requireInRange(std::string_view key, double value, double lo, double hi) {
    if (!(lo <= value && value <= hi)) {
        invalid(key, value);
    }
}

void requireNonNegative(std::string_view key, double value) {
    if (!(std::isfinite(value) && value >= 0)) {
        invalid(key, value);
    }
}

void requirePositive(std::string_view key, double value) {
    if (!(std::isfinite(value) && value > 0)) {
        invalid(key, value);
    }
}

void requireFinite(std::string_view key, double value) {
    if (!std::isfinite(value)) {
        invalid(key, value);
    }
}

} // namespace vexel::toolinput
