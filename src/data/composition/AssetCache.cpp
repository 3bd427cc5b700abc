#include "data/composition/AssetCache.h"

#include "platform/media/MediaError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace vexel {

namespace {

std::optional<struct stat> statOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

} // namespace

std::shared_ptr<const media::Asset> AssetCache::load(const std::filesystem::path& path) {
    auto info = statOf(path);
    if (!info) {
        const int error = errno;
        std::lock_guard lock(mutex_);
        entries_.erase(path.string());
        throw media::MediaError(media::MediaError::Kind::cannotOpen,
                                "Cannot open \"" + path.string() + "\": " + std::strerror(error));
    }
    const Stamp stamp{static_cast<unsigned long long>(info->st_dev),
                      static_cast<unsigned long long>(info->st_ino),
                      static_cast<long long>(info->st_size),
                      static_cast<long long>(info->st_mtim.tv_sec),
                      static_cast<long long>(info->st_mtim.tv_nsec)};
    {
        std::lock_guard lock(mutex_);
        auto found = entries_.find(path.string());
        if (found != entries_.end() && found->second.stamp == stamp) {
            return found->second.asset;
        }
    }
    // Probed outside the lock: other files may be probed at the same time.
    auto asset = std::make_shared<const media::Asset>(media::Asset::load(path));
    std::lock_guard lock(mutex_);
    entries_[path.string()] = Entry{stamp, asset};
    return asset;
}

} // namespace vexel
