#include "data/persistence/FileAutoSaveService.h"

#include "data/persistence/ProjectFile.h"
#include "domain/entities/Project.h"
#include "foundation/AtomicFileWriter.h"
#include "foundation/DataHome.h"
#include "foundation/FileContents.h"
#include "foundation/Json.h"

#include <system_error>

namespace vexel {

namespace {

// JSON whose top level is an object or an array, the test for a file that was
// written without encryption.
bool isJsonDocument(std::string_view bytes) {
    Json value = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    return !value.is_discarded() && value.is_structured();
}

} // namespace

FileAutoSaveService::FileAutoSaveService(std::optional<std::filesystem::path> directory,
                                         std::shared_ptr<const DataEncryption> encryption)
    : directory_(directory ? std::move(*directory) : defaultDirectory())
    , encryption_(std::move(encryption)) {}

std::filesystem::path FileAutoSaveService::defaultDirectory() {
    return applicationDataFolder() / "autosave";
}

void FileAutoSaveService::save(const Project& project) const {
    ProjectFile file{ProjectFile::currentVersion, PersistedProject::forAutoSave(project)};
    std::string bytes = file.encoded(ProjectFile::Layout::compact);
    if (encryption_) {
        bytes = encryption_->encrypt(bytes);
    }
    std::filesystem::create_directories(directory_);
    writeFileAtomically(filePath(), bytes, 0600);
}

Project FileAutoSaveService::load() const {
    std::string bytes = readFileContents(filePath());
    if (encryption_) {
        try {
            bytes = encryption_->decrypt(bytes);
        } catch (...) {
            if (!isJsonDocument(bytes)) {
                throw;
            }
        }
    }
    return ProjectFile::decoded(bytes).project.toProjectFromAutoSave();
}

void FileAutoSaveService::remove() const {
    std::error_code error;
    std::filesystem::remove(filePath(), error);
    if (error && error != std::errc::no_such_file_or_directory) {
        throw std::filesystem::filesystem_error("cannot remove auto-save", filePath(), error);
    }
}

bool FileAutoSaveService::exists() const {
    std::error_code error;
    return std::filesystem::exists(filePath(), error);
}

} // namespace vexel
