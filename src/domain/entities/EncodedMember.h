#pragma once

#include "foundation/DecodeError.h"
#include "foundation/Json.h"
#include "foundation/JsonReader.h"
#include "foundation/Uuid.h"

#include <optional>
#include <string>
#include <string_view>

// Reading members whose values have encoded forms of their own. An error that a
// nested form raises on its value itself is attached to the member's key, so the
// caller learns which member was bad.
namespace vexel::json {

template <class T> T decodeValue(const Json& value, std::string_view key) {
    try {
        return value.get<T>();
    } catch (const DecodeError& error) {
        if (!error.key().empty()) {
            throw;
        }
        throw DecodeError(error.kind(), std::string(key), error.description());
    }
}

// A required member: missing is keyNotFound, null is valueNotFound.
template <class T>
T decodeMember(const Json& object, std::string_view key, std::string_view typeName) {
    const Json& value = member(object, key);
    if (value.is_null()) {
        throw DecodeError::valueNotFound(std::string(key), std::string(typeName));
    }
    return decodeValue<T>(value, key);
}

// An optional member: missing or null is absent.
template <class T> std::optional<T> decodeOptionalMember(const Json& object, std::string_view key) {
    if (const Json* value = optionalMember(object, key)) {
        return decodeValue<T>(*value, key);
    }
    return std::nullopt;
}

inline Uuid asUuid(const Json& value, std::string_view key) {
    auto id = Uuid::parse(asString(value, key));
    if (!id) {
        throw DecodeError::dataCorrupted(std::string(key),
                                         "Attempted to decode UUID from invalid UUID string.");
    }
    return *id;
}

inline Uuid readUuid(const Json& object, std::string_view key) {
    return asUuid(member(object, key), key);
}

} // namespace vexel::json
