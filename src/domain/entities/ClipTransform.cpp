#include "domain/entities/ClipTransform.h"

#include "foundation/JsonReader.h"
#include "foundation/NumberText.h"

#include <cmath>

namespace vexel {

bool ClipTransform::isIdentity() const {
    if (rotation != 0 || flipHorizontal || flipVertical) {
        return false;
    }
    if (!cropRect) {
        return true;
    }
    const NormalizedRect& crop = *cropRect;
    // The extent is taken without its sign, as a rectangle's standardised size.
    return std::abs(crop.x) < 1e-9 && std::abs(crop.y) < 1e-9 &&
           std::abs(std::abs(crop.width) - 1) < 1e-9 && std::abs(std::abs(crop.height) - 1) < 1e-9;
}

void to_json(Json& json, const ClipTransform& transform) {
    json = Json::object();
    json["rotation"] = transform.rotation;
    json["flipHorizontal"] = transform.flipHorizontal;
    json["flipVertical"] = transform.flipVertical;
    if (transform.cropRect) {
        json["cropRect"] = *transform.cropRect;
    }
}

void from_json(const Json& json, ClipTransform& transform) {
    json::expectObject(json);
    std::int64_t rotation = json::readInt(json, "rotation");
    if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270) {
        throw DecodeError::dataCorrupted("rotation", "rotation must be 0, 90, 180, or 270, got " +
                                                         formatInteger(rotation));
    }
    transform.rotation = static_cast<int>(rotation);
    transform.flipHorizontal = json::readBool(json, "flipHorizontal");
    transform.flipVertical = json::readBool(json, "flipVertical");
    transform.cropRect.reset();
    if (const Json* crop = json::optionalMember(json, "cropRect")) {
        json::expectObject(*crop, "cropRect");
        transform.cropRect = crop->get<NormalizedRect>();
    }
}

} // namespace vexel
