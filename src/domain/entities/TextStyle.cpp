#include "domain/entities/TextStyle.h"

#include "foundation/JsonReader.h"

#include <cmath>

namespace vexel {

namespace {

bool isValidFontName(const std::string& name) {
    return !name.empty() && name.size() <= 255 && name.find('\0') == std::string::npos;
}

} // namespace

void to_json(Json& json, const TextStyle& style) {
    json = Json::object();
    json["fontSize"] = style.fontSize;
    json["textColor"] = style.textColor;
    json["strokeColor"] = style.strokeColor;
    json["strokeWidth"] = style.strokeWidth;
    if (style.fontName) {
        json["fontName"] = *style.fontName;
    }
    if (style.boxWidth) {
        json["boxWidth"] = *style.boxWidth;
    }
}

void from_json(const Json& json, TextStyle& style) {
    json::expectObject(json);
    style.fontSize = json::readDouble(json, "fontSize");
    style.textColor = json::readString(json, "textColor");
    style.strokeColor = json::readString(json, "strokeColor");
    style.strokeWidth = json::readDouble(json, "strokeWidth");
    style.fontName = json::readOptionalString(json, "fontName");
    if (style.fontName && !isValidFontName(*style.fontName)) {
        throw DecodeError::dataCorrupted("fontName",
                                         "fontName must be 1-255 UTF-8 bytes with no null bytes");
    }
    style.boxWidth = json::readOptionalDouble(json, "boxWidth");
    if (style.boxWidth) {
        double width = *style.boxWidth;
        if (!(std::isfinite(width) && width > 0 && width <= 1.0)) {
            throw DecodeError::dataCorrupted("boxWidth",
                                             "boxWidth must be finite and in range (0, 1.0]");
        }
    }
}

} // namespace vexel
