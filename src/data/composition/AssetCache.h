#pragma once

#include "platform/media/Asset.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vexel {

// Probed media files, kept while the file on disk stays the same (same file,
// size and modification time), so that rebuilding a composition after an
// edit does not open and probe every clip's file again. Safe to share
// between threads.
class AssetCache {
public:
    // The file's probe, probing it when it is new or has changed. Throws
    // MediaError (cannotOpen) like Asset::load; failures are not kept, so a
    // file that appears later is found.
    std::shared_ptr<const media::Asset> load(const std::filesystem::path& path);
    // The kept probe of the unchanged file, without probing; null when there
    // is none.
    std::shared_ptr<const media::Asset> find(const std::filesystem::path& path);

private:
    struct Stamp {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long size = 0;
        long long modifiedSeconds = 0;
        long long modifiedNanoseconds = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Entry {
        Stamp stamp;
        std::shared_ptr<const media::Asset> asset;
    };

    // Throws MediaError (cannotOpen) when the file cannot be looked at.
    static Stamp stampOf(const std::filesystem::path& path);
    std::shared_ptr<const media::Asset> kept(const std::filesystem::path& path, const Stamp& stamp);

    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

} // namespace vexel
