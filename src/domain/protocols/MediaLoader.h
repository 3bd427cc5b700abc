#pragma once

#include "domain/entities/MediaAsset.h"

#include <filesystem>

namespace vexel {

// Probes a media file before it becomes a clip.
class MediaLoader {
public:
    virtual ~MediaLoader() = default;

    // Blocks while the file is probed; throws the loader's own error when the
    // file cannot be read.
    virtual MediaAsset loadAsset(const std::filesystem::path& url) const = 0;
};

} // namespace vexel
