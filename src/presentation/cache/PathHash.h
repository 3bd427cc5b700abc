#pragma once

#include <cstddef>
#include <filesystem>

namespace vexel {

// Hashes a path by its bytes, for caches keyed by file.
struct PathHash {
    std::size_t operator()(const std::filesystem::path& path) const {
        return std::filesystem::hash_value(path);
    }
};

} // namespace vexel
