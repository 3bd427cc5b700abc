#pragma once

#include "domain/entities/UnavailableMedia.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace vexel {

// Why saving or loading a project folder failed. It carries no sentence for
// the user: the caller shows its own, and says why from what the case carries
// besides its text (the system's error behind it, the clips whose media
// cannot be copied, the size of a project too large to write). Cases compare
// by kind and text alone.
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

    // assetCopyFailed with the first file's name, for every clip whose media
    // cannot be copied and why, found before anything was written.
    static PersistenceError mediaUnavailable(std::string fileName,
                                             std::vector<UnavailableMedia> clips);
    // assetCopyFailed with the media file's name, for the clips that use it
    // (by their display names, which the user knows the file by: its own
    // name may be that of a staged copy), caused by the system's `cause`.
    static PersistenceError copyFailed(std::string fileName, std::vector<std::string> clipNames,
                                       std::error_code cause);
    // encodingFailed: the file would take `bytes`, more than `limit`.
    static PersistenceError tooLarge(std::uintmax_t bytes, std::uintmax_t limit);
    // decodingFailed("Project file too large"): "project.json" looks like a
    // project but takes `bytes`, more than the `limit` that is read. A file
    // over the limit that is no project is decodingFailed("Invalid project
    // file format"), as any other.
    static PersistenceError tooLargeToOpen(std::uintmax_t bytes, std::uintmax_t limit);
    // directoryCreationFailed for the entry `folder` of the project folder
    // ("assets"; empty: the project folder itself), caused by `cause`
    // (too_many_symbolic_link_levels: it is a link; not_a_directory: some
    // other kind of entry is there).
    static PersistenceError directoryCreationFailed(std::string folder, std::error_code cause);

    // The same case, caused by the system's error `cause`.
    PersistenceError causedBy(std::error_code cause) &&;

    Kind kind() const { return kind_; }
    // The case's text; empty for the cases without one.
    const std::string& detail() const { return detail_; }

    // The system's error behind the failure, when one is.
    const std::error_code& cause() const { return cause_; }
    // For mediaUnavailable.
    const std::vector<UnavailableMedia>& unavailableMedia() const { return unavailableMedia_; }
    // For copyFailed.
    const std::vector<std::string>& clipNames() const { return clipNames_; }
    struct Size {
        std::uintmax_t bytes = 0;
        std::uintmax_t limit = 0;
    };
    // For tooLarge and tooLargeToOpen.
    const std::optional<Size>& size() const { return size_; }
    // For directoryCreationFailed with a folder.
    const std::string& folder() const { return folder_; }

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
    std::error_code cause_;
    std::vector<UnavailableMedia> unavailableMedia_;
    std::vector<std::string> clipNames_;
    std::optional<Size> size_;
    std::string folder_;
};

} // namespace vexel
