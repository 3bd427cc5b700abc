#pragma once

#include "domain/protocols/AutoSaveService.h"
#include "domain/protocols/DataEncryption.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace vexel {

// The auto-save as one file, "project.json" in `directory`: the project file
// record in one line, media named by absolute path (nothing is copied), and
// encrypted when an encryption is given. Holds no state besides its settings.
class FileAutoSaveService final : public AutoSaveService {
public:
    static constexpr const char* fileName = "project.json";

    // `directory`: absent means the default, "autosave" in the application's
    // data folder. `encryption`: absent means the file is plain JSON.
    explicit FileAutoSaveService(std::optional<std::filesystem::path> directory = std::nullopt,
                                 std::shared_ptr<const DataEncryption> encryption = nullptr);

    static std::filesystem::path defaultDirectory();

    const std::filesystem::path& directory() const { return directory_; }
    std::filesystem::path filePath() const { return directory_ / fileName; }

    // Creates the folder with its parents when missing and replaces the file
    // atomically (mode 0600: it holds the user's work). Errors pass through
    // unchanged: PersistenceError::encodingFailed, the encryption's, the file
    // system's; the earlier file then stays as it was.
    void save(const Project& project) const override;

    // Reads and, with an encryption, decrypts the file. A file that does not
    // decrypt but is JSON (an object or an array) is read as plain JSON, so an
    // auto-save written without encryption still loads; otherwise the
    // decryption's error is thrown. A missing file is the file system's
    // error (std::errc::no_such_file_or_directory); a bad record a DecodeError.
    // The version is not checked, and media paths are taken as they are.
    Project load() const override;

    // Removes the file when there is one; a failed removal throws.
    void remove() const override;
    bool exists() const override;

private:
    std::filesystem::path directory_;
    std::shared_ptr<const DataEncryption> encryption_;
};

} // namespace vexel
