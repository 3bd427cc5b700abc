#pragma once

#include "foundation/DecodeError.h"
#include "foundation/Json.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Strict readers of JSON members. A required member that is missing, null or of
// the wrong JSON type is a DecodeError; an optional member that is missing or
// null is absent, and one of the wrong type is an error like a required one.
// Numbers never accept booleans; integers accept only whole numbers.
namespace vexel::json {

// The value must be an object (a top-level scalar is a type mismatch, not a crash).
const Json& expectObject(const Json& value, std::string_view key = {});
const Json& expectArray(const Json& value, std::string_view key = {});

// The member itself; keyNotFound when missing, valueNotFound when null.
const Json& member(const Json& object, std::string_view key);
// The member, or nullptr when missing or null.
const Json* optionalMember(const Json& object, std::string_view key);

double readDouble(const Json& object, std::string_view key);
std::int64_t readInt(const Json& object, std::string_view key);
bool readBool(const Json& object, std::string_view key);
std::string readString(const Json& object, std::string_view key);
const Json& readObject(const Json& object, std::string_view key);
const Json& readArray(const Json& object, std::string_view key);

std::optional<double> readOptionalDouble(const Json& object, std::string_view key);
std::optional<std::int64_t> readOptionalInt(const Json& object, std::string_view key);
std::optional<bool> readOptionalBool(const Json& object, std::string_view key);
std::optional<std::string> readOptionalString(const Json& object, std::string_view key);

// The value itself (array elements, bare-string forms); `key` names it in errors.
double asDouble(const Json& value, std::string_view key = {});
std::int64_t asInt(const Json& value, std::string_view key = {});
bool asBool(const Json& value, std::string_view key = {});
std::string asString(const Json& value, std::string_view key = {});

// Arrays and objects nested deeper than this are refused as malformed text:
// code that walks parsed values recursively must not run out of stack on
// hostile input.
inline constexpr std::size_t maxNestingDepth = 512;

// Parses text into a JSON value; malformed text, or text nested deeper than
// maxNestingDepth, is a dataCorrupted error.
Json parse(std::string_view text);

// The same, absent where parse would fail.
std::optional<Json> tryParse(std::string_view text);

} // namespace vexel::json
