#pragma once

#include <filesystem>
#include <string_view>

// Per-user folders for files the application keeps to itself (staged imports,
// export results). The system's temporary folder is shared by every user, so
// a plain fixed name there could be taken first by someone else, or be a link
// planted to redirect our writes.
namespace vexel {

// Where the private folder `name` lives: in $XDG_RUNTIME_DIR when that names
// an absolute folder of this user's, else in the temporary folder with the
// user id in the name ("<tmp>/<name>-<uid>"). Does not touch the disk beyond
// checking the runtime folder.
std::filesystem::path privateFolderPath(std::string_view name);

// Makes sure `folder` is this user's own folder that no one else may enter:
// creates it with mode 0700 when absent (its parent must exist) and tightens
// the mode of an own folder. Throws std::filesystem::filesystem_error when
// something else is there: a link, a file, or a folder of another user.
void ensurePrivateFolder(const std::filesystem::path& folder);

// The same, after creating the missing folders above `folder` as any folder is.
void ensurePrivateFolderAndParents(const std::filesystem::path& folder);

} // namespace vexel
