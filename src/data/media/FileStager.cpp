#include "data/media/FileStager.h"

#include "data/media/FileStagerError.h"
#include "data/media/StagingFolder.h"
#include "foundation/UnicodeText.h"
#include "foundation/Uuid.h"

#include <algorithm>
#include <system_error>

namespace vexel {

namespace {

constexpr std::size_t kMaxCharacters = 218;
constexpr std::size_t kMaxBytes = 218;

struct SplitName {
    std::string base;
    std::string extension; // without the dot; empty when there is none
};

// A name's extension is what follows its last dot, unless that dot starts the
// name (".profile") or ends it.
SplitName splitExtension(const std::string& name) {
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) {
        return {name, {}};
    }
    return {name.substr(0, dot), name.substr(dot + 1)};
}

std::string joined(const std::string& base, const std::string& extension) {
    return extension.empty() ? base : base + "." + extension;
}

std::string cutToCharacters(const std::string& name) {
    SplitName split = splitExtension(name);
    std::size_t keep = kMaxCharacters;
    if (!split.extension.empty()) {
        std::size_t extensionLength = unicode::graphemeCount(split.extension);
        keep = extensionLength + 1 < kMaxCharacters ? kMaxCharacters - extensionLength - 1 : 1;
    }
    return joined(unicode::graphemePrefix(split.base, keep), split.extension);
}

std::string cutToBytes(const std::string& name) {
    SplitName split = splitExtension(name);
    if (!split.extension.empty() && split.extension.size() + 1 < kMaxBytes) {
        std::string base =
            unicode::graphemePrefixWithinBytes(split.base, kMaxBytes - split.extension.size() - 1);
        if (!base.empty()) {
            return joined(base, split.extension);
        }
    }
    return unicode::graphemePrefixWithinBytes(name, kMaxBytes);
}

} // namespace

std::string FileStager::sanitizeFilename(std::string_view name) {
    // A file name may be any bytes, but the staged copy's name becomes a clip's
    // name, which is shown, stored and sent: it must be text.
    std::string text;
    std::copy_if(name.begin(), name.end(), std::back_inserter(text),
                 [](char c) { return c != '\0'; });
    text = unicode::replacingInvalidUtf8(text);
    if (text.empty()) {
        return "untitled";
    }
    auto slash = text.rfind('/');
    std::string component = slash == std::string::npos ? text : text.substr(slash + 1);
    if (component.empty() || component == "." || component == "..") {
        return "untitled";
    }
    if (unicode::graphemeCount(component) > kMaxCharacters) {
        component = cutToCharacters(component);
    }
    if (component.size() > kMaxBytes) {
        component = cutToBytes(component);
    }
    return component.empty() ? "untitled" : component;
}

std::filesystem::path FileStager::stage(const std::filesystem::path& source,
                                        const std::optional<std::string>& suggestedName) const {
    std::string cleaned =
        sanitizeFilename(suggestedName ? *suggestedName : source.filename().string());
    std::filesystem::path destination =
        ensureStagingFolder() / (Uuid::random().string() + "_" + cleaned);
    std::error_code error;
    // Never replaces a file: the name is new, and the folder is ours alone.
    if (!std::filesystem::copy_file(source, destination, std::filesystem::copy_options::none,
                                    error) ||
        error) {
        std::error_code ignored;
        if (error && error != std::errc::file_exists) {
            std::filesystem::remove(destination, ignored);
        }
        throw FileStagerError::copyFailed(cleaned);
    }
    return destination;
}

void FileStager::cleanStagingDirectory() const {
    std::filesystem::path folder = stagingFolderPath();
    if (std::filesystem::exists(std::filesystem::symlink_status(folder))) {
        std::filesystem::remove_all(folder);
    }
}

} // namespace vexel
