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

    // Creates the folder and "assets" when missing, copies each media file
    // that clips use from outside the folder into "assets", once however many
    // clips use it (a name already taken there gets "_" and 8 hexadecimal
    // characters before its extension), then replaces "project.json". Only
    // regular files are copied, and only into a real "assets" folder, never
    // through a link. Errors: directoryCreationFailed (also for an "assets"
    // that is not a folder of its own); assetCopyFailed with the media file's
    // name (copies made so far stay); encodingFailed; and
    // assetCopyFailed("project.json") when the file cannot be written. On any
    // failure "project.json" stays as it was.
    MediaRelocation save(const Project& project,
                         const std::filesystem::path& folder) const override;

    // Errors: fileNotFound("project.json"); decodingFailed("Invalid project
    // file format"), also for a file larger than ProjectFile::maxFileBytes,
    // which is not read; decodingFailed("Unsupported project file version N").
    // Media paths that resolve outside the folder, by their text or through a
    // link, give clips without media; those and the clips whose media is
    // missing, unreadable or not a regular file are reported.
    OpenedProject open(const std::filesystem::path& folder) const override;

    // The copy's name when `name` is taken: "clip.mov" -> "clip_1A2B3C4D.mov".
    static std::string suffixedName(const std::string& name);
};

} // namespace vexel
