#pragma once

#include "domain/protocols/ProjectPersistence.h"

#include <filesystem>
#include <string>

namespace vexel {

struct Project;

// Project folders on the local file system: "project.json" (indented, keys
// sorted, media paths relative to the folder) beside "assets", which holds
// copies of the media that lay outside the folder when saved. Every file is
// written atomically; a save never deletes or replaces a media file. Saves of
// one folder take turns (a lock on the folder, across processes), and a save
// or load removes the temporary files of saves that were killed half-way.
class ProjectPersistenceService final : public ProjectPersistence {
public:
    static constexpr const char* projectFileName = "project.json";
    static constexpr const char* assetsFolderName = "assets";

    // Creates the folder and "assets" when missing, copies each clip's media
    // from outside the folder into "assets" (a name already taken there gets
    // "_" and 8 hexadecimal characters before its extension), then replaces
    // "project.json". Errors: directoryCreationFailed; assetCopyFailed with the
    // media file's name (copies made so far stay); encodingFailed; and
    // assetCopyFailed("project.json") when the file cannot be written. On any
    // failure "project.json" stays as it was.
    void save(const Project& project, const std::filesystem::path& folder) const override;

    // Errors: fileNotFound("project.json"); decodingFailed("Invalid project
    // file format"), also for a file larger than ProjectFile::maxFileBytes,
    // which is not read; decodingFailed("Unsupported project file version N").
    // Media paths that resolve outside the folder give clips without media;
    // whether media files exist is not checked.
    Project load(const std::filesystem::path& folder) const override;

    // The copy's name when `name` is taken: "clip.mov" -> "clip_1A2B3C4D.mov".
    static std::string suffixedName(const std::string& name);
};

} // namespace vexel
