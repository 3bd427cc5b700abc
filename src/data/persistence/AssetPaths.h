#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How a clip's media file is named in a stored project: relative to the
// project folder in a saved project, absolute in the auto-save. Pure path
// arithmetic; nothing here touches the disk. Paths are compared after lexical
// normalisation ("." and ".." resolved, repeated and trailing "/" dropped), so
// "/pkg/../x.mov" is not taken for a file inside "/pkg", and "/pkg/" and
// "/pkg" name the same folder.
namespace vexel::assetpaths {

// The path with "." and ".." resolved and no trailing "/" (except the root).
std::filesystem::path normalized(const std::filesystem::path& path);

// The file's last path component: the name its copy in "assets" gets.
std::string fileName(const std::filesystem::path& file);

// A project folder, normalised once for the many clips that are compared with it.
class ProjectFolder {
public:
    // Implicit: wherever a folder is asked for, its path will do. A relative
    // path is taken from the current folder.
    ProjectFolder(const std::filesystem::path& folder);

    // The file's path relative to the folder when it lies inside it, at any depth.
    std::optional<std::string> relativePathOf(const std::filesystem::path& file) const;

    // The relative rule for writing: the path inside the folder, else
    // "assets/" + the file's name (where the save puts its copy).
    std::string assetPathFor(const std::filesystem::path& file) const;

    // The relative rule for reading: NUL characters dropped, the path resolved
    // under the folder, and accepted only when it stays inside; a stored path
    // that climbs out (or names the folder itself) gives no media.
    std::optional<std::filesystem::path> resolve(std::string_view assetPath) const;

private:
    std::string path_;   // normalised
    std::string prefix_; // path_ with one "/" at the end
};

// The absolute rule for reading: NUL characters dropped; empty gives no media.
std::optional<std::filesystem::path> resolveAbsolute(std::string_view assetPath);

} // namespace vexel::assetpaths
