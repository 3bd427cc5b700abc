#include "data/persistence/PersistedClip.h"

#include "data/persistence/AssetPaths.h"

namespace vexel {

namespace {

Clip withoutMedia(const Clip& clip) {
    Clip stripped = clip;
    stripped.assetURL.reset();
    return stripped;
}

Clip withMedia(const Clip& clip, std::optional<std::filesystem::path> media) {
    Clip result = clip;
    result.assetURL = std::move(media);
    return result;
}

} // namespace

PersistedClip PersistedClip::from(const Clip& clip, const assetpaths::ProjectFolder& baseURL) {
    PersistedClip persisted{withoutMedia(clip), std::nullopt};
    if (clip.assetURL) {
        persisted.assetPath = baseURL.assetPathFor(*clip.assetURL);
    }
    return persisted;
}

PersistedClip PersistedClip::forAutoSave(const Clip& clip) {
    PersistedClip persisted{withoutMedia(clip), std::nullopt};
    if (clip.assetURL) {
        persisted.assetPath = clip.assetURL->string();
    }
    return persisted;
}

Clip PersistedClip::toClip(const assetpaths::ProjectFolder& baseURL) const {
    return withMedia(clip, assetPath ? baseURL.resolve(*assetPath) : std::nullopt);
}

Clip PersistedClip::toClipFromAutoSave() const {
    return withMedia(clip, assetPath ? assetpaths::resolveAbsolute(*assetPath) : std::nullopt);
}

void to_json(Json& json, const PersistedClip& clip) {
    // The clip's form names the media file by its path, which is what is stored.
    to_json(json, withMedia(clip.clip, clip.assetPath
                                           ? std::optional<std::filesystem::path>(*clip.assetPath)
                                           : std::nullopt));
}

void from_json(const Json& json, PersistedClip& clip) {
    // A decoded clip names its media file by the stored path, which the
    // absolute rule keeps as it is.
    clip = PersistedClip::forAutoSave(json.get<Clip>());
}

} // namespace vexel
