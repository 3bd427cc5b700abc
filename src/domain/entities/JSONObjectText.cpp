#include "domain/entities/JSONObjectText.h"

#include "foundation/JsonReader.h"

#include <utility>

namespace vexel {

namespace {

const std::string& emptyObjectText() {
    static const std::string text = "{}";
    return text;
}

// The value as JSONValue would write it back: keys sorted (a later duplicate
// has already replaced an earlier one) and every number a double. Parsed
// values nest at most json::maxNestingDepth deep, so the recursion is bounded.
nlohmann::json canonical(const Json& value) {
    switch (value.type()) {
    case Json::value_t::object: {
        nlohmann::json object = nlohmann::json::object();
        for (auto member = value.begin(); member != value.end(); ++member) {
            object[member.key()] = canonical(member.value());
        }
        return object;
    }
    case Json::value_t::array: {
        nlohmann::json array = nlohmann::json::array();
        array.get_ref<nlohmann::json::array_t&>().reserve(value.size());
        for (const Json& element : value) {
            array.push_back(canonical(element));
        }
        return array;
    }
    case Json::value_t::string:
        return value.get_ref<const std::string&>();
    case Json::value_t::boolean:
        return value.get<bool>();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
        return value.get<double>();
    default:
        return nullptr;
    }
}

} // namespace

JSONObjectText::JSONObjectText(std::string text)
    : text_(std::make_shared<const std::string>(std::move(text))) {}

JSONObjectText::JSONObjectText(const JSONObject& members) {
    if (!members.empty()) {
        text_ = std::make_shared<const std::string>(Json(JSONValue::object(members)).dump());
    }
}

JSONObjectText::JSONObjectText(std::initializer_list<JSONObject::value_type> members)
    : JSONObjectText(JSONObject(members)) {}

std::optional<JSONObjectText> JSONObjectText::fromParsed(const Json& value) {
    if (!value.is_object()) {
        return std::nullopt;
    }
    if (value.empty()) {
        return JSONObjectText();
    }
    return JSONObjectText(canonical(value).dump());
}

std::optional<JSONObjectText> JSONObjectText::fromJSON(std::string_view text) {
    const std::optional<Json> parsed = json::tryParse(text);
    if (!parsed) {
        return std::nullopt;
    }
    return fromParsed(*parsed);
}

const std::string& JSONObjectText::text() const {
    return text_ ? *text_ : emptyObjectText();
}

JSONObject JSONObjectText::members() const {
    JSONObject members;
    if (!text_) {
        return members;
    }
    const Json parsed = json::parse(*text_);
    for (auto member = parsed.begin(); member != parsed.end(); ++member) {
        members.emplace(member.key(), member.value().get<JSONValue>());
    }
    return members;
}

bool operator==(const JSONObjectText& lhs, const JSONObjectText& rhs) {
    // Equal members write equal text, but for the sign of a zero.
    return lhs.text() == rhs.text() || lhs.members() == rhs.members();
}

} // namespace vexel
