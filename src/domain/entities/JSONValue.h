#pragma once

#include "foundation/Json.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vexel {

// An arbitrary JSON value, the type of every tool-call input. Every JSON number
// is a double; object members are kept by name, not in written order.
class JSONValue {
public:
    enum class Kind { string, number, boolean, array, object, null };

    using Array = std::vector<JSONValue>;
    using Object = std::map<std::string, JSONValue>;

    // The null value.
    JSONValue() = default;

    static JSONValue string(std::string value);
    static JSONValue number(double value);
    static JSONValue boolean(bool value);
    static JSONValue array(Array elements);
    static JSONValue object(Object members);
    static JSONValue null() { return {}; }

    Kind kind() const;
    bool isNull() const { return kind() == Kind::null; }

    // The payload when the value is of that case; nullptr or nullopt otherwise.
    const std::string* stringValue() const;
    std::optional<double> numberValue() const;
    std::optional<bool> boolValue() const;
    const Array* arrayValue() const;
    const Object* objectValue() const;

    // Structural: same case and equal payloads, numbers compared as doubles.
    friend bool operator==(const JSONValue& lhs, const JSONValue& rhs);

private:
    // Containers sit behind an immutable shared box: the value never changes
    // after construction, so copies can share them.
    using Storage = std::variant<std::monostate, std::string, double, bool,
                                 std::shared_ptr<const Array>, std::shared_ptr<const Object>>;

    explicit JSONValue(Storage storage)
        : storage_(std::move(storage)) {}

    Storage storage_;
};

// A tool input: the members of a JSON object.
using JSONObject = JSONValue::Object;

// Encodes the payload (null as JSON null). A non-finite number has no JSON form
// and throws std::invalid_argument rather than turning silently into null.
void to_json(Json& json, const JSONValue& value);

// Tries null, then Boolean, then number, then string, then array, then object;
// JSON true is a Boolean, 3 and 3.0 are both number(3.0). A value of none of
// these kinds is a type mismatch "Unable to decode JSONValue".
void from_json(const Json& json, JSONValue& value);

} // namespace vexel
