#include "domain/entities/JSONValue.h"

#include "foundation/DecodeError.h"

#include <cmath>
#include <stdexcept>

namespace vexel {

JSONValue JSONValue::string(std::string value) {
    return JSONValue(Storage(std::in_place_type<std::string>, std::move(value)));
}

JSONValue JSONValue::number(double value) {
    return JSONValue(Storage(std::in_place_type<double>, value));
}

JSONValue JSONValue::boolean(bool value) {
    return JSONValue(Storage(std::in_place_type<bool>, value));
}

JSONValue JSONValue::array(Array elements) {
    return JSONValue(Storage(std::make_shared<const Array>(std::move(elements))));
}

JSONValue JSONValue::object(Object members) {
    return JSONValue(Storage(std::make_shared<const Object>(std::move(members))));
}

JSONValue::Kind JSONValue::kind() const {
    switch (storage_.index()) {
    case 1:
        return Kind::string;
    case 2:
        return Kind::number;
    case 3:
        return Kind::boolean;
    case 4:
        return Kind::array;
    case 5:
        return Kind::object;
    default:
        return Kind::null;
    }
}

const std::string* JSONValue::stringValue() const {
    return std::get_if<std::string>(&storage_);
}

std::optional<double> JSONValue::numberValue() const {
    if (const double* value = std::get_if<double>(&storage_)) {
        return *value;
    }
    return std::nullopt;
}

std::optional<bool> JSONValue::boolValue() const {
    if (const bool* value = std::get_if<bool>(&storage_)) {
        return *value;
    }
    return std::nullopt;
}

const JSONValue::Array* JSONValue::arrayValue() const {
    if (const auto* box = std::get_if<std::shared_ptr<const Array>>(&storage_)) {
        return box->get();
    }
    return nullptr;
}

const JSONValue::Object* JSONValue::objectValue() const {
    if (const auto* box = std::get_if<std::shared_ptr<const Object>>(&storage_)) {
        return box->get();
    }
    return nullptr;
}

bool operator==(const JSONValue& lhs, const JSONValue& rhs) {
    if (lhs.kind() != rhs.kind()) {
        return false;
    }
    switch (lhs.kind()) {
    case JSONValue::Kind::string:
        return *lhs.stringValue() == *rhs.stringValue();
    case JSONValue::Kind::number:
        return *lhs.numberValue() == *rhs.numberValue();
    case JSONValue::Kind::boolean:
        return *lhs.boolValue() == *rhs.boolValue();
    case JSONValue::Kind::array:
        return *lhs.arrayValue() == *rhs.arrayValue();
    case JSONValue::Kind::object:
        return *lhs.objectValue() == *rhs.objectValue();
    case JSONValue::Kind::null:
        return true;
    }
    return false;
}

void to_json(Json& json, const JSONValue& value) {
    switch (value.kind()) {
    case JSONValue::Kind::string:
        json = *value.stringValue();
        return;
    case JSONValue::Kind::number: {
        double number = *value.numberValue();
        if (!std::isfinite(number)) {
            throw std::invalid_argument("Unable to encode a non-finite number in JSON.");
        }
        json = number;
        return;
    }
    case JSONValue::Kind::boolean:
        json = *value.boolValue();
        return;
    case JSONValue::Kind::array: {
        Json array = Json::array();
        for (const JSONValue& element : *value.arrayValue()) {
            array.push_back(Json(element));
        }
        json = std::move(array);
        return;
    }
    case JSONValue::Kind::object: {
        Json object = Json::object();
        for (const auto& [key, member] : *value.objectValue()) {
            object[key] = Json(member);
        }
        json = std::move(object);
        return;
    }
    case JSONValue::Kind::null:
        json = nullptr;
        return;
    }
}

namespace {

JSONValue decode(const Json& json, const std::string& key) {
    if (json.is_null()) {
        return JSONValue::null();
    }
    if (json.is_boolean()) {
        return JSONValue::boolean(json.get<bool>());
    }
    if (json.is_number()) {
        return JSONValue::number(json.get<double>());
    }
    if (json.is_string()) {
        return JSONValue::string(json.get<std::string>());
    }
    if (json.is_array()) {
        JSONValue::Array elements;
        elements.reserve(json.size());
        for (std::size_t index = 0; index < json.size(); ++index) {
            elements.push_back(decode(json[index], "Index " + std::to_string(index)));
        }
        return JSONValue::array(std::move(elements));
    }
    if (json.is_object()) {
        JSONValue::Object members;
        for (auto it = json.begin(); it != json.end(); ++it) {
            members.insert_or_assign(it.key(), decode(it.value(), it.key()));
        }
        return JSONValue::object(std::move(members));
    }
    throw DecodeError(DecodeError::Kind::typeMismatch, key, "Unable to decode JSONValue");
}

} // namespace

void from_json(const Json& json, JSONValue& value) {
    value = decode(json, "");
}

} // namespace vexel
