#include "data/composition/CarrierCache.h"

#include "data/media/BlackVideoGenerator.h"
#include "data/media/StagingFolder.h"
#include "platform/media/MediaTime.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

namespace vexel {

namespace {

constexpr double shortestGenerated = 10;

std::string carrierName(int width, int height, int fps, double seconds) {
    return "carrier_" + std::to_string(width) + "x" + std::to_string(height) + "_" +
           std::to_string(fps) + "fps_" + std::to_string(static_cast<long long>(seconds)) + "s.mp4";
}

struct CarrierKey {
    int width = 0;
    int height = 0;
    int fps = 0;
};

std::optional<CarrierKey> parseCarrierName(const std::string& name) {
    CarrierKey key;
    long long seconds = 0;
    int consumed = 0;
    if (std::sscanf(name.c_str(), "carrier_%dx%d_%dfps_%llds.mp4%n", &key.width, &key.height,
                    &key.fps, &seconds, &consumed) != 4 ||
        static_cast<std::size_t>(consumed) != name.size()) {
        return std::nullopt;
    }
    return key;
}

// The end of the movie's first video track; zero without one.
media::MediaTime videoEnd(const media::Asset& asset) {
    auto track = asset.firstTrack(media::MediaType::video);
    return track ? track->timeRange.end() : media::MediaTime::zero();
}

bool lastsAtLeast(const media::Asset& asset, double duration) {
    return videoEnd(asset) >= media::MediaTime::fromSeconds(duration);
}

} // namespace

double CarrierCache::generatedLength(double duration) {
    if (!(duration > 0 && duration <= BlackVideoGenerator::maxDuration)) {
        return duration; // the generator refuses it with its own error
    }
    double length = shortestGenerated;
    while (length < duration) {
        length *= 2;
    }
    return std::min(length, BlackVideoGenerator::maxDuration);
}

std::shared_ptr<const media::Asset> CarrierCache::carrier(media::Size size, double duration,
                                                          int fps, std::stop_token stop) {
    // Arguments out of the generator's limits go to it unchanged, for its own
    // error.
    auto inRange = [](double side) {
        return side >= 1 && side < BlackVideoGenerator::maxDimension + 1;
    };
    const bool acceptable = duration > 0 && duration <= BlackVideoGenerator::maxDuration &&
                            inRange(size.width) && inRange(size.height) && fps >= 1 &&
                            fps <= BlackVideoGenerator::maxFramesPerSecond;
    const int width = acceptable ? static_cast<int>(size.width) : 0;
    const int height = acceptable ? static_cast<int>(size.height) : 0;
    if (acceptable) {
        std::lock_guard lock(mutex_);
        if (!scanned_) {
            scanStagingFolder();
            scanned_ = true;
        }
        if (auto kept = findKept(width, height, fps, duration)) {
            return kept;
        }
    }

    const double length = generatedLength(duration);
    std::filesystem::path written = BlackVideoGenerator::generate(size, length, fps, stop);
    std::filesystem::path kept = written.parent_path() / carrierName(width, height, fps, length);
    std::error_code renameError;
    std::filesystem::rename(written, kept, renameError);
    auto asset =
        std::make_shared<const media::Asset>(media::Asset::load(renameError ? written : kept));

    std::lock_guard lock(mutex_);
    kept_.push_back(Kept{width, height, fps, asset});
    return asset;
}

std::shared_ptr<const media::Asset> CarrierCache::findKept(int width, int height, int fps,
                                                           double duration) const {
    std::shared_ptr<const media::Asset> best;
    for (const Kept& kept : kept_) {
        if (kept.width == width && kept.height == height && kept.fps == fps &&
            lastsAtLeast(*kept.asset, duration) &&
            (!best || videoEnd(*kept.asset) < videoEnd(*best))) {
            best = kept.asset;
        }
    }
    return best;
}

void CarrierCache::scanStagingFolder() {
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(stagingFolderPath(), error)) {
        auto key = parseCarrierName(item.path().filename().string());
        if (!key || !item.is_regular_file(error)) {
            continue;
        }
        try {
            auto asset = std::make_shared<const media::Asset>(media::Asset::load(item.path()));
            auto track = asset->firstTrack(media::MediaType::video);
            if (track && track->naturalSize == media::Size{static_cast<double>(key->width),
                                                           static_cast<double>(key->height)}) {
                kept_.push_back(Kept{key->width, key->height, key->fps, asset});
            }
        } catch (const std::exception&) {
            // Not a movie we can use; a new one is written when needed.
        }
    }
}

} // namespace vexel
