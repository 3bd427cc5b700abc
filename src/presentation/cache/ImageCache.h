#pragma once

#include "presentation/cache/LruCache.h"
#include "presentation/cache/PathHash.h"

#include <QImage>
#include <QUrl>

#include <cstddef>
#include <filesystem>
#include <optional>

namespace vexel {

// The decoded overlay images of the preview by file, upright (the file's
// orientation applied), so that the image overlays do not decode on every tick
// of the playhead. GUI thread only.
class ImageCache {
public:
    static constexpr std::size_t defaultCountLimit = 50;
    static constexpr std::size_t defaultTotalCostLimit = 200 * 1024 * 1024;

    explicit ImageCache(std::size_t countLimit = defaultCountLimit,
                        std::size_t totalCostLimit = defaultTotalCostLimit);

    // Nothing for a URL that is not a local file, without touching the cache.
    std::optional<QImage> image(const QUrl& url);
    // The cached image of the file, else the file decoded and kept at a cost of
    // 4 bytes a pixel; nothing (and nothing kept, so that the next call tries
    // again) when the file cannot be read or decoded.
    std::optional<QImage> image(const std::filesystem::path& file);

    // For a project load: the next look-ups decode again.
    void removeAllObjects() { cache_.removeAllObjects(); }

    std::size_t count() const { return cache_.count(); }
    std::size_t totalCost() const { return cache_.totalCost(); }

private:
    LruCache<std::filesystem::path, QImage, PathHash> cache_;
};

} // namespace vexel
