#include "domain/entities/AudioEffect.h"

#include "foundation/JsonReader.h"

namespace vexel {

void to_json(Json& json, const AudioEffect& effect) {
    json = Json::object();
    json["type"] = effect.type;
}

void from_json(const Json& json, AudioEffect& effect) {
    json::expectObject(json);
    effect.type = json::readObject(json, "type").get<AudioEffectType>();
}

} // namespace vexel
