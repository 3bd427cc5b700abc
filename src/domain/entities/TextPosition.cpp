#include "domain/entities/TextPosition.h"

#include "foundation/JsonReader.h"
#include "foundation/NumberText.h"

#include <cmath>
#include <optional>

namespace vexel {

namespace {

std::optional<TextPosition> preset(std::string_view name) {
    if (name == "top") {
        return TextPosition::top();
    }
    if (name == "center") {
        return TextPosition::center();
    }
    if (name == "bottom") {
        return TextPosition::bottom();
    }
    return std::nullopt;
}

bool isInCustomRange(double value) {
    return std::isfinite(value) && -1.0 <= value && value <= 2.0;
}

} // namespace

std::string TextPosition::displayName() const {
    switch (kind_) {
    case Kind::top:
        return "top";
    case Kind::center:
        return "center";
    case Kind::bottom:
        return "bottom";
    case Kind::custom:
        return "custom(" + formatFixed(x_, 2) + ", " + formatFixed(y_, 2) + ")";
    }
    return "bottom";
}

void to_json(Json& json, const TextPosition& position) {
    if (position.isCustom()) {
        json = Json::object();
        json["type"] = "custom";
        json["x"] = position.x();
        json["y"] = position.y();
    } else {
        json = position.displayName();
    }
}

void from_json(const Json& json, TextPosition& position) {
    if (json.is_object()) {
        auto type = json.find("type");
        if (type != json.end() && type->is_string()) {
            std::string name = type->get<std::string>();
            if (auto found = preset(name)) {
                position = *found;
                return;
            }
            if (name == "custom") {
                double x = json::readDouble(json, "x");
                double y = json::readDouble(json, "y");
                if (!isInCustomRange(x) || !isInCustomRange(y)) {
                    throw DecodeError::dataCorrupted(
                        "x", "custom x/y must be finite and in range [-1.0, 2.0]");
                }
                position = TextPosition::custom(x, y);
                return;
            }
            throw DecodeError::dataCorrupted("type", "Unknown TextPosition type: " + name);
        }
    }
    std::string name = json::asString(json);
    if (auto found = preset(name)) {
        position = *found;
        return;
    }
    throw DecodeError::dataCorrupted("", "Unknown TextPosition string: " + name);
}

} // namespace vexel
