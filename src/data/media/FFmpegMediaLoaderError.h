#pragma once

#include <exception>
#include <filesystem>
#include <string>

namespace vexel {

// Why FFmpegMediaLoader could not probe a file.
class FFmpegMediaLoaderError : public std::exception {
public:
    enum class Kind { fileNotFound, cannotLoadDuration };

    static FFmpegMediaLoaderError fileNotFound(std::filesystem::path url);
    static FFmpegMediaLoaderError cannotLoadDuration(std::filesystem::path url);

    Kind kind() const { return kind_; }
    const std::filesystem::path& url() const { return url_; }

    // fileNotFound("/path/to/file")
    const char* what() const noexcept override { return description_.c_str(); }
    std::string userMessage() const;

private:
    FFmpegMediaLoaderError(Kind kind, std::filesystem::path url);

    Kind kind_;
    std::filesystem::path url_;
    std::string description_;
};

} // namespace vexel
