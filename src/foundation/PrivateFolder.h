#pragma once

#include <filesystem>
#include <string_view>

// Per-user folders for files the application keeps to itself (staged imports,
// export results). They live on disk in the user's cache folder: imports and
// exports can be large, and an unsaved session recovered after a crash or a
// new login still points at its staged media. The system's temporary folder is
// shared by every user, so a plain fixed name there could be taken first by
// someone else, or be a link planted to redirect our writes.
namespace vexel {

// Where the private folder `name` lives: "vexel/<name>" in the user's cache
// folder ($XDG_CACHE_HOME when it names an absolute path, else ~/.cache).
// Without a home folder, the temporary folder with the user id in the name
// ("<tmp>/<name>-<uid>"). Does not touch the disk.
std::filesystem::path privateFolderPath(std::string_view name);

// Makes sure `folder` is this user's own folder that no one else may enter:
// creates it with mode 0700 when absent (and its missing parents, 0700 too)
// and tightens the mode of an own folder. Throws
// std::filesystem::filesystem_error when something else is there: a link, a
// file, or a folder of another user.
void ensurePrivateFolder(const std::filesystem::path& folder);

// The same, after creating the missing folders above `folder` as any folder is.
void ensurePrivateFolderAndParents(const std::filesystem::path& folder);

} // namespace vexel
