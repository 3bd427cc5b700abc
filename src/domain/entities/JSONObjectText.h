#pragma once

#include "domain/entities/JSONValue.h"
#include "foundation/Json.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// A JSON object held as its compact text, which every copy shares. A tool
// call's input waits in this form from its arrival until the instruction and
// the transcript let go of it: as a tree of values it takes many times its
// text (an empty object written in three bytes costs more than a hundred), and
// the call, the turn sent back, the stream's events and the chat each hold it.
// The members are read from the text where they are needed.
class JSONObjectText {
public:
    // The empty object.
    JSONObjectText() = default;
    // Written once from the members. A non-finite number has no JSON form and
    // throws std::invalid_argument.
    JSONObjectText(const JSONObject& members); // NOLINT(google-explicit-constructor)
    JSONObjectText(std::initializer_list<JSONObject::value_type> members);

    // The object a parsed value holds, written the way its members would be
    // (keys in order, every number as a double, as JSONValue reads numbers);
    // absent for anything but an object.
    static std::optional<JSONObjectText> fromParsed(const Json& value);
    // The same for text; absent when it is malformed or nested deeper than a
    // reader may walk.
    static std::optional<JSONObjectText> fromJSON(std::string_view text);

    // Compact JSON: keys in code-point order, numbers as doubles.
    const std::string& text() const;
    // The members, read from the text at each call.
    JSONObject members() const;

    // As the members compare.
    friend bool operator==(const JSONObjectText& lhs, const JSONObjectText& rhs);

private:
    explicit JSONObjectText(std::string text);

    // Absent for the empty object, so that calls without arguments allocate nothing.
    std::shared_ptr<const std::string> text_;
};

} // namespace vexel
