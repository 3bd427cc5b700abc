#include "foundation/JsonReader.h"

#include <cmath>
#include <utility>

namespace vexel::json {

namespace {

std::string keyText(std::string_view key) {
    return std::string(key);
}

void requireNotNull(const Json& value, std::string_view key, const char* type) {
    if (value.is_null()) {
        throw DecodeError::valueNotFound(keyText(key), type);
    }
}

} // namespace

const Json& expectObject(const Json& value, std::string_view key) {
    if (!value.is_object()) {
        throw DecodeError::typeMismatch(keyText(key), "Dictionary<String, Any>");
    }
    return value;
}

const Json& expectArray(const Json& value, std::string_view key) {
    if (!value.is_array()) {
        throw DecodeError::typeMismatch(keyText(key), "Array<Any>");
    }
    return value;
}

const Json* optionalMember(const Json& object, std::string_view key) {
    expectObject(object);
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return nullptr;
    }
    return &*it;
}

const Json& member(const Json& object, std::string_view key) {
    expectObject(object);
    auto it = object.find(key);
    if (it == object.end()) {
        throw DecodeError::keyNotFound(keyText(key));
    }
    return *it;
}

double asDouble(const Json& value, std::string_view key) {
    requireNotNull(value, key, "Double");
    if (!value.is_number()) {
        throw DecodeError::typeMismatch(keyText(key), "Double");
    }
    return value.get<double>();
}

std::int64_t asInt(const Json& value, std::string_view key) {
    requireNotNull(value, key, "Int");
    if (value.is_number_integer()) {
        if (value.is_number_unsigned() &&
            value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
            throw DecodeError::dataCorrupted(keyText(key), "Number does not fit in Int.");
        }
        return value.get<std::int64_t>();
    }
    if (value.is_number_float()) {
        double d = value.get<double>();
        // A whole number written with a fraction (1.0) still reads as an integer.
        if (std::isfinite(d) && std::trunc(d) == d && d >= -9223372036854775808.0 &&
            d < 9223372036854775808.0) {
            return static_cast<std::int64_t>(d);
        }
        throw DecodeError::dataCorrupted(keyText(key), "Number does not fit in Int.");
    }
    throw DecodeError::typeMismatch(keyText(key), "Int");
}

bool asBool(const Json& value, std::string_view key) {
    requireNotNull(value, key, "Bool");
    if (!value.is_boolean()) {
        throw DecodeError::typeMismatch(keyText(key), "Bool");
    }
    return value.get<bool>();
}

std::string asString(const Json& value, std::string_view key) {
    requireNotNull(value, key, "String");
    if (!value.is_string()) {
        throw DecodeError::typeMismatch(keyText(key), "String");
    }
    return value.get<std::string>();
}

double readDouble(const Json& object, std::string_view key) {
    return asDouble(member(object, key), key);
}

std::int64_t readInt(const Json& object, std::string_view key) {
    return asInt(member(object, key), key);
}

bool readBool(const Json& object, std::string_view key) {
    return asBool(member(object, key), key);
}

std::string readString(const Json& object, std::string_view key) {
    return asString(member(object, key), key);
}

const Json& readObject(const Json& object, std::string_view key) {
    const Json& value = member(object, key);
    requireNotNull(value, key, "Dictionary<String, Any>");
    return expectObject(value, key);
}

const Json& readArray(const Json& object, std::string_view key) {
    const Json& value = member(object, key);
    requireNotNull(value, key, "Array<Any>");
    return expectArray(value, key);
}

std::optional<double> readOptionalDouble(const Json& object, std::string_view key) {
    if (const Json* value = optionalMember(object, key)) {
        return asDouble(*value, key);
    }
    return std::nullopt;
}

std::optional<std::int64_t> readOptionalInt(const Json& object, std::string_view key) {
    if (const Json* value = optionalMember(object, key)) {
        return asInt(*value, key);
    }
    return std::nullopt;
}

std::optional<bool> readOptionalBool(const Json& object, std::string_view key) {
    if (const Json* value = optionalMember(object, key)) {
        return asBool(*value, key);
    }
    return std::nullopt;
}

std::optional<std::string> readOptionalString(const Json& object, std::string_view key) {
    if (const Json* value = optionalMember(object, key)) {
        return asString(*value, key);
    }
    return std::nullopt;
}

namespace {

// Whether arrays and objects nest deeper than `limit` outside strings. Only an
// estimate for malformed text, which the parser refuses anyway.
bool nestsDeeperThan(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return true;
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

} // namespace

std::optional<Json> tryParse(std::string_view text) {
    if (nestsDeeperThan(text, maxNestingDepth)) {
        return std::nullopt;
    }
    Json value = Json::parse(text.begin(), text.end(), nullptr, false);
    if (value.is_discarded()) {
        return std::nullopt;
    }
    return value;
}

Json parse(std::string_view text) {
    if (auto value = tryParse(text)) {
        return std::move(*value);
    }
    throw DecodeError::dataCorrupted("", "The given data was not valid JSON.");
}

} // namespace vexel::json
