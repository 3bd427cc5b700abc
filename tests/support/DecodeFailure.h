#pragma once

#include "foundation/DecodeError.h"
#include "foundation/JsonReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace vexel::testing {

// The error that decoding `text` as a T raises, or nullopt (and a test failure)
// when it decodes.
template <class T> std::optional<DecodeError> decodeFailure(std::string_view text) {
    try {
        json::parse(text).get<T>();
    } catch (const DecodeError& error) {
        return error;
    }
    ADD_FAILURE() << "decoded without error: " << text;
    return std::nullopt;
}

template <class T> T decode(std::string_view text) {
    return json::parse(text).get<T>();
}

} // namespace vexel::testing
