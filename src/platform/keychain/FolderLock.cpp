#include "platform/keychain/FolderLock.h"

#include "foundation/PrivateFolder.h"
#include "platform/keychain/SecretStoreError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vexel::keychain {

void ensureKeyFolder(const std::filesystem::path& folder) {
    try {
        if (folder.has_parent_path()) {
            std::filesystem::create_directories(folder.parent_path());
        }
        ensurePrivateFolder(folder);
    } catch (const std::filesystem::filesystem_error& error) {
        throw SecretStoreError(error.what());
    }
}

FolderLock::FolderLock(const std::filesystem::path& folder) {
    ensureKeyFolder(folder);
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        throw SecretStoreError("cannot open key folder: " + std::generic_category().message(errno));
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            int error = errno;
            ::close(fd_);
            throw SecretStoreError("cannot lock key folder: " +
                                   std::generic_category().message(error));
        }
    }
}

FolderLock::~FolderLock() {
    // Closing the descriptor releases the lock.
    ::close(fd_);
}

} // namespace vexel::keychain
