#pragma once

#include "domain/protocols/ProjectPersistence.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vexel {

struct Project;

// Project folders on the local file system: "project.json" (indented, keys
// sorted, media paths relative to the folder) beside "assets", which holds
// copies of the media that lay outside the folder when saved. Every file is
// written atomically; a save never deletes or replaces a media file, and a
// failed save takes away what it made, so the chosen place is left as it was
// found. A new folder (or one over an empty folder) is built under a hidden
// name beside its place and renamed into place whole, so that even a save
// that is killed leaves there nothing or a whole project. Nothing is written, renamed or removed
// through a link inside a project folder. Saves of one folder take turns (a lock on the folder,
// across processes), and a save or load removes the temporary files of saves
// that were killed half-way.
class ProjectPersistenceService final : public ProjectPersistence {
public:
    static constexpr const char* projectFileName = "project.json";
    static constexpr const char* assetsFolderName = "assets";

    // `whileCopying`, when set, is called during each copy of a media file,
    // once the copy is written and before it is put in place: a test holds a
    // copy there to stop the saving process inside it. `unfinishedSaves`: a
    // private folder where each new project folder being built aside is
    // recorded until it is in place, so that the next start can remove what
    // a killed save left (none: only the next save to the same place does).
    explicit ProjectPersistenceService(
        std::function<void()> whileCopying = {},
        std::optional<std::filesystem::path> unfinishedSaves = std::nullopt);

    // "unfinished-saves" in the application's data folder; throws
    // std::runtime_error when there is no home folder.
    static std::filesystem::path defaultUnfinishedSavesFolder();
    // Removes every project folder recorded in `unfinishedSaves` whose save
    // was killed before the folder was put in place; the folders of saves
    // still at work (in any process) stay.
    static void removeAbandonedSaves(const std::filesystem::path& unfinishedSaves);

    // First checks every media file that clips use from outside the folder;
    // then creates what is missing of the folder and "assets", copies each
    // such file into "assets", once however many clips use it (a name
    // already taken there gets "_" and 8 hexadecimal characters before its
    // extension), and replaces "project.json". Only regular files are copied,
    // never through a link (the files of `sourceFolder` only when their real
    // path stays inside it), and only into a real "assets" folder. Errors:
    // mediaUnavailable naming every clip whose file cannot be copied and why,
    // before anything is written; then directoryCreationFailed (with the
    // folder and the cause: also for an "assets" that is a link or not a
    // folder); assetCopyFailed with the media file's name or "project.json",
    // and the system's error behind it; encodingFailed, or tooLarge with the
    // size. On any failure what the save made (folders, copies) is removed
    // again and "project.json" stays as it was.
    using ProjectPersistence::save;
    MediaRelocation save(const Project& project, const std::filesystem::path& folder,
                         const std::optional<std::filesystem::path>& sourceFolder) const override;

    // Errors: fileNotFound("project.json"), also for one that is a link or
    // no regular file (the cause says which); decodingFailed("Invalid project
    // file format"); decodingFailed("Unsupported project file version N"). A
    // file larger than ProjectFile::maxFileBytes is not read: it is
    // tooLargeToOpen with its size when it begins as a project file does,
    // else invalid.
    // Media paths that resolve outside the folder, by their text or through a
    // link, give clips without media; those and the clips whose media is
    // missing, unreadable or not a regular file are reported.
    OpenedProject open(const std::filesystem::path& folder) const override;

    // The copy's name when `name` is taken: "clip.mov" -> "clip_1A2B3C4D.mov".
    static std::string suffixedName(const std::string& name);

private:
    std::function<void()> whileCopying_;
    std::optional<std::filesystem::path> unfinishedSaves_;
};

} // namespace vexel
