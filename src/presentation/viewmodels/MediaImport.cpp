#include "presentation/viewmodels/MediaImport.h"

#include "data/media/FFmpegMediaLoaderError.h"

#include <fstream>
#include <system_error>

namespace vexel::mediaimport {

std::optional<TrackType> trackTypeByName(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    if (extension.empty()) {
        return std::nullopt;
    }
    return inferTrackType(extension.erase(0, 1));
}

Kind kindOf(const std::filesystem::path& file, const MediaLoader& loader) {
    if (const std::optional<TrackType> named = trackTypeByName(file)) {
        return Kind{named, nullptr};
    }
    try {
        return Kind{loader.loadAsset(file).trackType, nullptr};
    } catch (...) {
        return Kind{std::nullopt, std::current_exception()};
    }
}

std::string whyNotStaged(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return "the file is missing";
    }
    if (!std::ifstream(file, std::ios::binary)) {
        return "the file cannot be read";
    }
    return "it could not be copied";
}

std::string failedToAdd(const std::string& name, const std::exception_ptr& failure) {
    std::optional<std::string> reason;
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
    } catch (const FFmpegMediaLoaderError& error) {
        reason = error.reasonText();
    } catch (...) {
    }
    return reason ? failedToAdd(name, *reason) : "Failed to add " + name;
}

std::string failedToAdd(const std::string& name, const std::string& reason) {
    return "Failed to add " + name + ": " + reason;
}

} // namespace vexel::mediaimport
