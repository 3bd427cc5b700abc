#pragma once

#include <exception>
#include <string>

namespace vexel {

// A failure of FileStager's own.
class FileStagerError : public std::exception {
public:
    enum class Kind { copyFailed };

    // The copy into the staging folder failed; carries the cleaned file name.
    static FileStagerError copyFailed(std::string fileName);

    Kind kind() const { return kind_; }
    const std::string& fileName() const { return fileName_; }

    // copyFailed("name")
    const char* what() const noexcept override { return description_.c_str(); }
    std::string userMessage() const;

private:
    FileStagerError(Kind kind, std::string fileName);

    Kind kind_;
    std::string fileName_;
    std::string description_;
};

} // namespace vexel
