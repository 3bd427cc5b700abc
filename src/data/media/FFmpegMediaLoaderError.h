#pragma once

#include <exception>
#include <filesystem>
#include <optional>
#include <string>

namespace vexel {

// Why FFmpegMediaLoader could not probe a file.
class FFmpegMediaLoaderError : public std::exception {
public:
    enum class Kind { fileNotFound, cannotLoadDuration };

    // What a path that is there but no regular file turned out to be.
    enum class SpecialFile { folder, namedPipe, socket, device, other };

    // What the file's content showed when it could not be used.
    enum class Reason { missing, unreadable, empty, notMedia, damaged, noPictureOrSound };

    // `special`: the path was refused unopened for what it is.
    static FFmpegMediaLoaderError fileNotFound(std::filesystem::path url,
                                               std::optional<SpecialFile> special = {});
    static FFmpegMediaLoaderError cannotLoadDuration(std::filesystem::path url,
                                                     std::optional<SpecialFile> special = {});
    static FFmpegMediaLoaderError cannotLoadDuration(std::filesystem::path url, Reason reason);

    Kind kind() const { return kind_; }
    const std::filesystem::path& url() const { return url_; }
    const std::optional<SpecialFile>& specialFile() const { return specialFile_; }
    const std::optional<Reason>& reason() const { return reason_; }

    // fileNotFound("/path/to/file")
    const char* what() const noexcept override { return description_.c_str(); }
    // Names the file, and for a special file what it is.
    std::string userMessage() const;
    // Why the file cannot be used, as a clause that follows its name ("the
    // file is damaged or unreadable", "it is a folder, not a media file");
    // none when nothing was learnt beyond the failure itself.
    std::optional<std::string> reasonText() const;

private:
    FFmpegMediaLoaderError(Kind kind, std::filesystem::path url,
                           std::optional<SpecialFile> special);

    Kind kind_;
    std::filesystem::path url_;
    std::optional<SpecialFile> specialFile_;
    std::optional<Reason> reason_;
    std::string description_;
};

} // namespace vexel
