#include "data/persistence/AssetPaths.h"

#include <algorithm>

namespace vexel::assetpaths {

namespace {

std::string withoutNul(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return c != '\0'; });
    return out;
}

// No empty, "." or ".." component and no trailing "/": what most stored and
// chosen paths already are, found without building a new path.
bool isNormal(std::string_view path) {
    if (path.empty() || path == "/") {
        return true;
    }
    if (path.back() == '/') {
        return false;
    }
    std::size_t start = path.front() == '/' ? 1 : 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('/', start), path.size());
        std::string_view component = path.substr(start, end - start);
        if (component.empty() || component == "." || component == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

std::filesystem::path normalized(const std::filesystem::path& path) {
    if (isNormal(path.native())) {
        return path;
    }
    std::filesystem::path result = path.lexically_normal();
    // lexically_normal keeps a trailing separator as an empty last element.
    if (!result.has_filename() && result.has_relative_path()) {
        result = result.parent_path();
    }
    return result;
}

std::string fileName(const std::filesystem::path& file) {
    return normalized(file).filename().string();
}

ProjectFolder::ProjectFolder(const std::filesystem::path& folder)
    : path_(normalized(folder.is_absolute() ? folder : std::filesystem::absolute(folder)).string())
    , prefix_(path_.empty() || path_.back() != '/' ? path_ + "/" : path_) {}

std::optional<std::string> ProjectFolder::relativePathOf(const std::filesystem::path& file) const {
    const std::filesystem::path normal = normalized(file);
    const std::string& path = normal.native();
    if (path.size() > prefix_.size() && path.starts_with(prefix_)) {
        return path.substr(prefix_.size());
    }
    return std::nullopt;
}

std::string ProjectFolder::assetPathFor(const std::filesystem::path& file) const {
    if (auto inside = relativePathOf(file)) {
        return *inside;
    }
    return "assets/" + fileName(file);
}

std::optional<std::filesystem::path> ProjectFolder::resolve(std::string_view assetPath) const {
    // Joined as text, as a path component: an absolute stored path still lands
    // under the folder instead of replacing it.
    std::filesystem::path resolved = normalized(prefix_ + withoutNul(assetPath));
    if (resolved.native().starts_with(prefix_)) {
        return resolved;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> resolveAbsolute(std::string_view assetPath) {
    std::string cleaned = withoutNul(assetPath);
    if (cleaned.empty()) {
        return std::nullopt;
    }
    return normalized(cleaned);
}

} // namespace vexel::assetpaths
