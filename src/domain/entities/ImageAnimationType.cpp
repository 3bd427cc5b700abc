#include "domain/entities/ImageAnimationType.h"

#include "foundation/JsonReader.h"

#include <string>
#include <type_traits>

namespace vexel {

namespace {

NormalizedRect readRect(const Json& object, std::string_view key) {
    return json::readObject(object, key).get<NormalizedRect>();
}

} // namespace

std::string_view caseName(ImageAnimationType::Kind kind) {
    switch (kind) {
    case ImageAnimationType::Kind::kenBurns:
        return "kenBurns";
    case ImageAnimationType::Kind::zoomIn:
        return "zoomIn";
    case ImageAnimationType::Kind::zoomOut:
        return "zoomOut";
    case ImageAnimationType::Kind::pan:
        return "pan";
    case ImageAnimationType::Kind::shake:
        return "shake";
    case ImageAnimationType::Kind::rotate:
        return "rotate";
    }
    return "kenBurns";
}

void to_json(Json& json, const ImageAnimationType& type) {
    json = Json::object();
    json["type"] = std::string(caseName(type.kind()));
    std::visit(
        [&json](const auto& motion) {
            using Case = std::decay_t<decltype(motion)>;
            if constexpr (std::is_same_v<Case, ImageAnimationType::KenBurns>) {
                json["from"] = motion.from;
                json["to"] = motion.to;
            } else if constexpr (std::is_same_v<Case, ImageAnimationType::ZoomIn> ||
                                 std::is_same_v<Case, ImageAnimationType::ZoomOut>) {
                json["factor"] = motion.factor;
            } else if constexpr (std::is_same_v<Case, ImageAnimationType::Pan>) {
                json["direction"] = motion.direction;
                json["distance"] = motion.distance;
            } else if constexpr (std::is_same_v<Case, ImageAnimationType::Shake>) {
                json["intensity"] = motion.intensity;
            } else {
                static_assert(std::is_same_v<Case, ImageAnimationType::Rotate>);
                json["degrees"] = motion.degrees;
            }
        },
        type.payload());
}

void from_json(const Json& json, ImageAnimationType& type) {
    json::expectObject(json);
    std::string name = json::readString(json, "type");
    if (name == "kenBurns") {
        NormalizedRect from = readRect(json, "from");
        NormalizedRect to = readRect(json, "to");
        type = ImageAnimationType::kenBurns(from, to);
    } else if (name == "zoomIn") {
        type = ImageAnimationType::zoomIn(json::readDouble(json, "factor"));
    } else if (name == "zoomOut") {
        type = ImageAnimationType::zoomOut(json::readDouble(json, "factor"));
    } else if (name == "pan") {
        Direction direction = readDirection(json, "direction");
        double distance = json::readDouble(json, "distance");
        type = ImageAnimationType::pan(direction, distance);
    } else if (name == "shake") {
        type = ImageAnimationType::shake(json::readDouble(json, "intensity"));
    } else if (name == "rotate") {
        type = ImageAnimationType::rotate(json::readDouble(json, "degrees"));
    } else {
        throw DecodeError::dataCorrupted("type", "Unknown ImageAnimationType: " + name);
    }
}

} // namespace vexel
