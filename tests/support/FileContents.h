#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <vector>

namespace vexel::test {

// Writes the bytes, making the folders on the way.
inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

// The file's bytes; "" when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in the folder, sorted: what a test compares to show that nothing
// was left behind.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Everything under the folder, by path inside it: a file's bytes, a link's
// target, a folder's mode: what a test compares to show that a tree was left
// exactly as it was. Links are not followed.
inline std::map<std::string, std::string> treeSnapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> tree;
    std::error_code error;
    for (auto entry = std::filesystem::recursive_directory_iterator(folder, error);
         !error && entry != std::filesystem::recursive_directory_iterator();
         entry.increment(error)) {
        const std::string name = entry->path().lexically_relative(folder).string();
        const std::filesystem::file_status status = entry->symlink_status();
        const auto mode = " mode " + std::to_string(static_cast<int>(status.permissions()));
        if (std::filesystem::is_symlink(status)) {
            tree[name] = "link to " + std::filesystem::read_symlink(entry->path()).string();
        } else if (std::filesystem::is_directory(status)) {
            tree[name] = "folder" + mode;
        } else {
            tree[name] = readFile(entry->path()) + mode;
        }
    }
    return tree;
}

} // namespace vexel::test
