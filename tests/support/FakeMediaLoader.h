#pragma once

#include "domain/entities/MediaAsset.h"
#include "domain/protocols/MediaLoader.h"

#include <filesystem>
#include <map>
#include <stdexcept>
#include <vector>

namespace vexel::testing {

// The error a fake loader throws for a file it does not know.
struct FakeMediaError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Answers with the assets it was given; unknown files fail with FakeMediaError.
class FakeMediaLoader : public MediaLoader {
public:
    void add(const std::filesystem::path& url, double duration,
             TrackType trackType = TrackType::video) {
        assets_[url] = MediaAsset{url, url.filename().string(), duration, trackType};
    }

    MediaAsset loadAsset(const std::filesystem::path& url) const override {
        requested.push_back(url);
        const auto found = assets_.find(url);
        if (found == assets_.end()) {
            throw FakeMediaError("cannot load " + url.string());
        }
        return found->second;
    }

    mutable std::vector<std::filesystem::path> requested;

private:
    std::map<std::filesystem::path, MediaAsset> assets_;
};

} // namespace vexel::testing
