#include "foundation/PrivateFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace vexel {

namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& folder, int error) {
    throw std::filesystem::filesystem_error(what, folder,
                                            std::error_code(error, std::generic_category()));
}

bool isOwnFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid();
}

} // namespace

std::filesystem::path privateFolderPath(std::string_view name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
        std::filesystem::path base(runtime);
        if (base.is_absolute() && isOwnFolder(base)) {
            return base / name;
        }
    }
    std::string named(name);
    named += "-" + std::to_string(::geteuid());
    return std::filesystem::temp_directory_path() / named;
}

void ensurePrivateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        fail("cannot create private folder", folder, errno);
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        fail("cannot inspect private folder", folder, errno);
    }
    if (S_ISLNK(info.st_mode)) {
        fail("private folder is a link", folder, ELOOP);
    }
    if (!S_ISDIR(info.st_mode)) {
        fail("private folder is not a folder", folder, ENOTDIR);
    }
    if (info.st_uid != ::geteuid()) {
        fail("private folder belongs to another user", folder, EPERM);
    }
    if ((info.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
        fail("cannot make folder private", folder, errno);
    }
}

void ensurePrivateFolderAndParents(const std::filesystem::path& folder) {
    if (folder.has_parent_path()) {
        std::filesystem::create_directories(folder.parent_path());
    }
    ensurePrivateFolder(folder);
}

} // namespace vexel
