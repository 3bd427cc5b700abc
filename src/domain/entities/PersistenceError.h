#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why saving or loading a project folder failed. It carries no sentence for
// the user: the caller shows its own. The file system's own error is not kept.
class PersistenceError : public std::exception {
public:
    enum class Kind {
        decodingFailed,          // "project.json" does not decode or has another version
        assetCopyFailed,         // a media copy or the write of "project.json" failed
        fileNotFound,            // "project.json" is missing or unreadable
        encodingFailed,          // the project cannot be written as JSON
        directoryCreationFailed, // the "assets" folder cannot be created
    };

    static PersistenceError decodingFailed(std::string reason);
    // `fileName`: the source file's last path component, or "project.json".
    static PersistenceError assetCopyFailed(std::string fileName);
    static PersistenceError fileNotFound(std::string fileName);
    static PersistenceError encodingFailed();
    static PersistenceError directoryCreationFailed();

    Kind kind() const { return kind_; }
    // The case's text; empty for the cases without one.
    const std::string& detail() const { return detail_; }

    // The case as written in code: decodingFailed("Invalid project file format").
    const char* what() const noexcept override { return description_.c_str(); }

    friend bool operator==(const PersistenceError& a, const PersistenceError& b) {
        return a.kind_ == b.kind_ && a.detail_ == b.detail_;
    }

private:
    PersistenceError(Kind kind, std::string detail);

    Kind kind_;
    std::string detail_;
    std::string description_;
};

} // namespace vexel
