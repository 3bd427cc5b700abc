#include "data/llm/JSONValueConversion.h"

namespace vexel {

JSONValue convertToJSONValue(const Json& parsed) {
    if (parsed.is_string()) {
        return JSONValue::string(parsed.get<std::string>());
    }
    if (parsed.is_boolean()) {
        return JSONValue::boolean(parsed.get<bool>());
    }
    if (parsed.is_number()) {
        return JSONValue::number(parsed.get<double>());
    }
    if (parsed.is_array()) {
        JSONValue::Array elements;
        elements.reserve(parsed.size());
        for (const Json& element : parsed) {
            elements.push_back(convertToJSONValue(element));
        }
        return JSONValue::array(std::move(elements));
    }
    if (parsed.is_object()) {
        return JSONValue::object(convertToJSONObject(parsed));
    }
    return JSONValue::null();
}

JSONObject convertToJSONObject(const Json& parsedObject) {
    JSONObject members;
    if (!parsedObject.is_object()) {
        return members;
    }
    for (auto it = parsedObject.begin(); it != parsedObject.end(); ++it) {
        members.insert_or_assign(it.key(), convertToJSONValue(it.value()));
    }
    return members;
}

} // namespace vexel
