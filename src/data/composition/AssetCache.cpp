#include "data/composition/AssetCache.h"

#include "platform/media/MediaError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace vexel {

AssetCache::Stamp AssetCache::stampOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        throw media::MediaError(media::MediaError::Kind::cannotOpen,
                                "Cannot open \"" + path.string() + "\": " + std::strerror(error));
    }
    return Stamp{static_cast<unsigned long long>(info.st_dev),
                 static_cast<unsigned long long>(info.st_ino), static_cast<long long>(info.st_size),
                 static_cast<long long>(info.st_mtim.tv_sec),
                 static_cast<long long>(info.st_mtim.tv_nsec)};
}

std::shared_ptr<const media::Asset> AssetCache::kept(const std::filesystem::path& path,
                                                     const Stamp& stamp) {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(path.string());
    if (found == entries_.end()) {
        return nullptr;
    }
    if (found->second.stamp != stamp) {
        entries_.erase(found);
        return nullptr;
    }
    return found->second.asset;
}

std::shared_ptr<const media::Asset> AssetCache::find(const std::filesystem::path& path) {
    try {
        return kept(path, stampOf(path));
    } catch (const media::MediaError&) {
        return nullptr;
    }
}

std::shared_ptr<const media::Asset> AssetCache::load(const std::filesystem::path& path) {
    Stamp stamp;
    try {
        stamp = stampOf(path);
    } catch (const media::MediaError&) {
        std::lock_guard lock(mutex_);
        entries_.erase(path.string());
        throw;
    }
    if (auto asset = kept(path, stamp)) {
        return asset;
    }
    // Probed outside the lock: other files may be probed at the same time.
    auto asset = std::make_shared<const media::Asset>(media::Asset::load(path));
    std::lock_guard lock(mutex_);
    entries_[path.string()] = Entry{stamp, asset};
    return asset;
}

} // namespace vexel
