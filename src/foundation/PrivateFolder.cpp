#include "foundation/PrivateFolder.h"

#include "foundation/DataHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vexel {

namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& folder, int error) {
    throw std::filesystem::filesystem_error(what, folder,
                                            std::error_code(error, std::generic_category()));
}

// Creates the missing folders above `folder`, each of mode 0700 as the cache
// folder's own must be; folders already there are left as they are.
void createMissingParents(const std::filesystem::path& folder) {
    std::filesystem::path prefix;
    const std::filesystem::path parent = folder.parent_path();
    for (const std::filesystem::path& part : parent) {
        prefix /= part;
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            fail("cannot create private folder", prefix, errno);
        }
    }
}

std::filesystem::path cacheHome() {
    // A relative XDG_CACHE_HOME is ignored, as the XDG base directories require.
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    return homeFolder() / ".cache";
}

} // namespace

std::filesystem::path privateFolderPath(std::string_view name) {
    try {
        return cacheHome() / "vexel" / name;
    } catch (const std::runtime_error&) {
        std::string named(name);
        named += "-" + std::to_string(::geteuid());
        return std::filesystem::temp_directory_path() / named;
    }
}

void ensurePrivateFolder(const std::filesystem::path& folder) {
    createMissingParents(folder);
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
