#pragma once

#include "data/persistence/ProjectFile.h"
#include "domain/entities/Project.h"
#include "domain/protocols/AutoSaveService.h"
#include "domain/protocols/DataEncryption.h"

#include <cstddef>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace vexel {

// The auto-save as one file, "project.json" in `directory`: the project file
// record in one line, media named by absolute path (nothing is copied), and
// encrypted when an encryption is given. Holds no state besides its settings.
//
// The folder is the user's alone (mode 0700), and an auto-save that another
// user could have written is never offered as the user's work. One that the
// key of this run cannot open (the key store chosen at this start is not the
// one it was sealed under, or does not answer) is never replaced or deleted:
// it is kept beside the next one as "project-<UTC time>.json" and offered
// again in a run whose key opens it.
class FileAutoSaveService final : public AutoSaveService {
public:
    static constexpr const char* fileName = "project.json";
    // The largest auto-save that is read: the largest project file and room
    // for what an encryption adds to it (a nonce and a tag), so that every
    // auto-save that was written reads back.
    static constexpr std::size_t maxFileBytes = ProjectFile::maxFileBytes + 1024;

    // `directory`: absent means the default, "autosave" in the application's
    // data folder. `encryption`: absent means the file is plain JSON.
    explicit FileAutoSaveService(std::optional<std::filesystem::path> directory = std::nullopt,
                                 std::shared_ptr<const DataEncryption> encryption = nullptr);

    static std::filesystem::path defaultDirectory();

    const std::filesystem::path& directory() const { return directory_; }
    std::filesystem::path filePath() const { return directory_ / fileName; }

    // Creates the folder with its parents when missing (the folder itself
    // private to the user, whatever the umask) and replaces the file
    // atomically (mode 0600: it holds the user's work), removing what saves
    // killed half-way left in the folder. Errors pass through unchanged:
    // PersistenceError::encodingFailed, the encryption's, the file system's
    // (also for a folder that is a link or another user's); the earlier file
    // then stays as it was.
    void save(const Project& project) const override;

    // Reads and, with an encryption, decrypts the file. A file that does not
    // decrypt but is JSON (an object or an array) is read as plain JSON, so an
    // auto-save written without encryption still loads. One that neither
    // decrypts nor is JSON is kept aside; a kept auto-save that the key now
    // opens is returned instead (and becomes the auto-save again); when none
    // does, AutoSaveError::keptAside is thrown, with the decryption's error
    // nested in it. A folder or file that another user can write is
    // AutoSaveError::unsafeLocation, and nothing is touched. A missing file is
    // the file system's error (std::errc::no_such_file_or_directory), as is
    // one larger than maxFileBytes (std::errc::file_too_large,
    // not read); a bad record a DecodeError, and the file stays. The version
    // is not checked, and media paths are taken as they are.
    Project load() const override;

    // Removes the file when there is one; a failed removal throws. Kept
    // auto-saves stay.
    void remove() const override;
    // The file is there, or a kept one that the key opens now.
    bool exists() const override;

    // The auto-saves kept aside, newest first.
    std::vector<std::filesystem::path> keptFiles() const;

private:
    // A project, or the decryption's failure when the file neither decrypts
    // nor (when `plainAllowed`) is plain JSON.
    struct Opened {
        std::optional<Project> project;
        std::exception_ptr sealedFailure;
    };
    Opened open(const std::filesystem::path& file, bool plainAllowed) const;

    std::filesystem::path directory_;
    std::shared_ptr<const DataEncryption> encryption_;
};

} // namespace vexel
